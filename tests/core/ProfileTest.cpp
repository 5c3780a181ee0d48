#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "core/Profile.h"
#include "core/ProfileText.h"

namespace brim::core {
namespace {

using test::cp932;
using test::readFile;
using test::TempDir;
using test::writeFile;

const test::SystemCodePage& codePage() {
    static const test::SystemCodePage cp("CP932");
    return cp;
}

struct LookupCase {
    const char* what;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

// Names the generated tests after what each case is about.
std::string caseName(const char* what) {
    std::string name;
    for (const char* p = what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}
void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.what;
}

class ProfileLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, FindsValueAsWindowsDoes) {
    const auto& c = GetParam();
    const auto found = findProfileValue(c.text, cp932(c.section), cp932(c.key), codePage());
    ASSERT_EQ(found.has_value(), c.expected.has_value()) << c.what;
    if (found) {
        EXPECT_EQ(std::string(*found), *c.expected) << c.what;
    }
    // Asked with other keys in one pass, the key is found as when alone.
    const std::string section = cp932(c.section), key = cp932(c.key);
    for (std::size_t place = 0; place < 3; ++place) {
        std::vector<ProfileKey> keys = {{"S", "other", {}}, {"T", "k", {}}};
        keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(place), {section, key, {}});
        findProfileValues(c.text, keys, codePage());
        EXPECT_EQ(keys[place].value, found) << c.what << " asked " << place << " of 3";
    }
}

TEST(ProfileLookup, KeysFoundInOnePassAreThoseFoundOneByOne) {
    // Random profiles of the lines that decide: headers of a few names,
    // repeated, unclosed or blank-padded; keys in and out of case; comments;
    // every kind of line break.
    const std::vector<std::string> pieces = {
        "[S]",  "[s]", "[T]",     " [ S ] ", "[S",      "[X]", "k=1",  "K = 2", "k",  "m=3",
        ";k=4", "=5",  "k=\"6\"", "m= 7 ",   "other=8", "",    "\r\n", "\n",    "\r", "\r\n"};
    const std::vector<std::pair<std::string, std::string>> names = {
        {"S", "k"}, {"T", "k"}, {"S", "m"}, {"X", "k"}, {"s", "OTHER"}, {"T", "m"}, {"Q", "k"}};
    std::mt19937 random(11);
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 14); n > 0; --n)
            text += pieces[random() % pieces.size()] + (random() % 3 ? "\r\n" : "");
        std::vector<ProfileKey> keys;
        for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) {
            const auto& [section, key] = names[random() % names.size()];
            keys.push_back({section, key, {}});
        }
        findProfileValues(text, keys, codePage());
        for (const auto& k : keys) {
            ASSERT_EQ(k.value, findProfileValue(text, k.section, k.key, codePage()))
                << testing::PrintToString(text) << " " << k.section << "/" << k.key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileLookup,
    testing::Values(
        LookupCase{"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        LookupCase{"names ignore ASCII case", "[internetshortcut]\r\nurl=x\r\n", "InternetShortcut",
                   "URL", "x"},
        LookupCase{"blanks around names and value", "  [ S ]  \r\n\t k \t= v w \t\r\n", "S", "k",
                   "v w"},
        LookupCase{"LF lines", "[A]\nk=1\n[S]\nk=2\n", "S", "k", "2"},
        LookupCase{"CR-only lines", "[A]\rk=1\r[S]\rk=2", "S", "k", "2"},
        LookupCase{"first of duplicate keys", "[S]\nk=1\nk=2\n", "S", "k", "1"},
        LookupCase{"only the first of duplicate sections", "[S]\na=1\n[S]\nk=2\n", "S", "k",
                   std::nullopt},
        LookupCase{"value holding =", "[S]\nk=a=b\n", "S", "k", "a=b"},
        LookupCase{"empty value", "[S]\nW0=\n", "S", "W0", ""},
        LookupCase{"comment line", "[S]\n;k=1\nk=2\n", "S", "k", "2"},
        LookupCase{"key before any section", "k=0\n[S]\n", "S", "k", std::nullopt},
        LookupCase{"header without ]", "[S\nk=1\n", "S", "k", std::nullopt},
        LookupCase{"text after ]", "[S] tail\nk=1\n", "S", "k", "1"},
        LookupCase{"missing section", "[T]\nk=1\n", "S", "k", std::nullopt},
        LookupCase{"missing key", "[S]\nj=1\n", "S", "k", std::nullopt},
        LookupCase{"value up to NUL", std::string("[S]\nk=ab\0cd\n", 12), "S", "k", "ab"},
        LookupCase{"empty file", "", "S", "k", std::nullopt},
        // 表 and ソ end in 0x5C, ゾ in 0x5D: neither may end the section name.
        LookupCase{"trail bytes \\ and ]", cp932("[表ソゾ]\nk=1\n"), "表ソゾ", "k", "1"},
        // ヂ is 0x83 0x61 and ア 0x83 0x41: a trail byte is never folded.
        LookupCase{"trail byte not case folded", cp932("[ヂ]\nk=1\n"), "ア", "k", std::nullopt},
        LookupCase{"Japanese value", cp932("[S]\nk=日本語のコメント\n"), "S", "k",
                   cp932("日本語のコメント")},
        // One pair of matching marks around the trimmed value goes, as Windows reads it.
        LookupCase{"double quotes", "[S]\nk=\"two words\"\n", "S", "k", "two words"},
        LookupCase{"single quotes", "[S]\nk='x'\n", "S", "k", "x"},
        LookupCase{"quotes after trimming", "[S]\nk= \" a \" \t\n", "S", "k", " a "},
        LookupCase{"only one pair goes", "[S]\nk=\"\"x\"\"\n", "S", "k", "\"x\""},
        LookupCase{"empty quotes", "[S]\nk=\"\"\n", "S", "k", ""},
        LookupCase{"marks that differ stay", "[S]\nk=\"x'\n", "S", "k", "\"x'"},
        LookupCase{"a lone mark stays", "[S]\nk=\"\n", "S", "k", "\""},
        LookupCase{"inner quotes stay", "[S]\nk=a \"b\" c\n", "S", "k", "a \"b\" c"},
        LookupCase{"quotes before NUL", std::string("[S]\nk='v'\0x'\n", 12), "S", "k", "v"}),
    [](const auto& p) { return caseName(p.param.what); });

struct SetCase {
    const char* what;
    std::string before;
    std::string after;  // after setting k of S to "v"
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.what;
}

class ProfileSet : public testing::TestWithParam<SetCase> {};

TEST_P(ProfileSet, ChangesOnlyTheOneValue) {
    const auto& c = GetParam();
    EXPECT_EQ(setProfileValue(c.before, "S", "k", "v", codePage()), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileSet,
    testing::Values(
        SetCase{"new file", "", "[S]\r\nk=v\r\n"},
        SetCase{"changed key keeps place and spelling", "a\n[s]\n  K = old  \nz=1\n",
                "a\n[s]\n  K =v\nz=1\n"},
        SetCase{"new key after the section's last line", "[S]\r\nx=1\r\n\r\n[T]\r\n",
                "[S]\r\nx=1\r\nk=v\r\n\r\n[T]\r\n"},
        SetCase{"last line without break", "[S]\nx=1", "[S]\nx=1\r\nk=v\r\n"},
        SetCase{"new section after a file without final break", "[T]\nx=1",
                "[T]\nx=1\r\n[S]\r\nk=v\r\n"},
        SetCase{"first of duplicate sections", "[S]\n[S]\nk=1\n", "[S]\nk=v\r\n[S]\nk=1\n"},
        SetCase{"CR-only file", "[S]\rk=1\r", "[S]\rk=v\r"},
        SetCase{"undecodable bytes elsewhere kept", "\xFF\xFE\x80 junk\r\n[S]\r\nk=old\r\n",
                "\xFF\xFE\x80 junk\r\n[S]\r\nk=v\r\n"}),
    [](const auto& p) { return caseName(p.param.what); });

// What is written reads back as it was given, whatever marks it holds.
TEST(ProfileQuotes, WrittenValuesReadBackUnchanged) {
    const struct {
        std::string value;
        std::string stored;  // the line as it lands in the file
    } cases[] = {
        {"plain", "k=plain"},
        {"\"quoted\"", "k=\"\"quoted\"\""},
        {"'single'", "k=\"'single'\""},
        {"\"\"", "k=\"\"\"\""},
        {" \"blanks\" ", "k=\" \"blanks\" \""},
        {"\"half", "k=\"half"},
        {"\"mixed'", "k=\"mixed'"},
        {"\"", "k=\""},
        {"a \"b\"", "k=a \"b\""},
    };
    for (const auto& c : cases) {
        const std::string text = setProfileValue("[S]\r\nk=old\r\n", "S", "k", c.value, codePage());
        EXPECT_EQ(text, "[S]\r\n" + c.stored + "\r\n") << c.value;
        const auto back = findProfileValue(text, "S", "k", codePage());
        ASSERT_TRUE(back) << c.value;
        EXPECT_EQ(std::string(*back), c.value) << c.value;
    }
}

class ProfileFiles : public testing::Test {
  protected:
    TempDir dir;
    test::TestFolders folders{dir};
    test::SystemFileSystem fs;
    Profile profile{fs, codePage(), folders};
    std::string url = dir / "a.url";
};

TEST_F(ProfileFiles, NewShortcutGetsBothSectionsInOrder) {
    ASSERT_TRUE(profile.WriteShortcutUrl(url, "http://example.com/"));
    ASSERT_TRUE(profile.WriteShortcutComment(url, "ニュース 毎日"));
    EXPECT_EQ(readFile(url),
              "[InternetShortcut]\r\nURL=http://example.com/\r\n[CommentKey]\r\nWords=" +
                  cp932("ニュース 毎日") + "\r\n");
    EXPECT_EQ(profile.ReadShortcutUrl(url), "http://example.com/");
    EXPECT_EQ(profile.ReadShortcutComment(url), "ニュース 毎日");
}

TEST_F(ProfileFiles, RewriteKeepsEveryOtherByte) {
    const std::string before =
        "[DEFAULT]\r\nBASEURL=http://old/\r\n[InternetShortcut]\r\nURL=http://old/\r\n"
        "IconIndex=0\r\nIconFile=C:\\x.ico\r\n[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,"
        "2\r\n";
    writeFile(url, before);
    ASSERT_TRUE(profile.WriteShortcutUrl(url, "http://new/"));
    std::string expected = before;
    expected.replace(expected.find("\nURL=http://old/"), 16, "\nURL=http://new/");
    EXPECT_EQ(readFile(url), expected);
}

TEST_F(ProfileFiles, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(profile.ReadSetting("Wposition", "x"), "");
    EXPECT_EQ(profile.ReadShortcutComment(dir / "none.url"), "");
    writeFile(url, "[InternetShortcut]\r\nURL=x\r\n");
    EXPECT_EQ(profile.ReadShortcutComment(url), "");
}

TEST_F(ProfileFiles, LongValueReadsBackWhole) {
    const std::string value(1500, 'x');
    ASSERT_TRUE(profile.WriteShortcutComment(url, value));
    EXPECT_EQ(profile.ReadShortcutComment(url), value);
}

TEST_F(ProfileFiles, LineBreaksBecomeBlanksAndCannotAddKeys) {
    ASSERT_TRUE(profile.WriteShortcutUrl(url, "http://safe/"));
    ASSERT_TRUE(
        profile.WriteShortcutComment(url, "a\r\nb\nc\rd\n[InternetShortcut]\nURL=http://evil/"));
    EXPECT_EQ(profile.ReadShortcutComment(url), "a b c d [InternetShortcut] URL=http://evil/");
    EXPECT_EQ(profile.ReadShortcutUrl(url), "http://safe/");
}

TEST_F(ProfileFiles, UnencodableValueIsReportedAndNothingWritten) {
    writeFile(url, "[CommentKey]\r\nWords=old\r\n");
    const auto status = profile.WriteShortcutComment(url, "smile \U0001F600");
    EXPECT_EQ(status.kind, WriteStatus::Kind::Unencodable);
    EXPECT_EQ(readFile(url), "[CommentKey]\r\nWords=old\r\n");
}

TEST_F(ProfileFiles, ReadOnlyFileIsReportedAndUnchanged) {
    writeFile(url, "[CommentKey]\r\nWords=old\r\n");
    chmod(url.c_str(), 0444);
    const auto status = profile.WriteShortcutComment(url, "new");
    EXPECT_EQ(status.kind, WriteStatus::Kind::WriteFailed);
    EXPECT_EQ(status.io.error, platform::IoError::ReadOnly);
    EXPECT_EQ(readFile(url), "[CommentKey]\r\nWords=old\r\n");
}

TEST_F(ProfileFiles, MissingFolderIsReported) {
    const auto status = profile.WriteShortcutUrl(dir / "no/such/a.url", "http://x/");
    EXPECT_EQ(status.kind, WriteStatus::Kind::WriteFailed);
    EXPECT_EQ(status.io.error, platform::IoError::NotFound);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

#ifndef _WIN32
// Hard and symbolic links and permission bits are POSIX's.
TEST_F(ProfileFiles, WriteReplacesTheFileWholeAndKeepsItsPermissions) {
    writeFile(url, "[CommentKey]\r\nWords=old\r\n");
    chmod(url.c_str(), 0640);
    // A second name for the old file: an in-place rewrite would change it too.
    ASSERT_EQ(link(url.c_str(), (dir / "old-link").c_str()), 0);
    ASSERT_TRUE(profile.WriteShortcutComment(url, "new"));
    EXPECT_EQ(readFile(dir / "old-link"), "[CommentKey]\r\nWords=old\r\n");
    EXPECT_EQ(readFile(url), "[CommentKey]\r\nWords=new\r\n");
    struct stat st {};
    ASSERT_EQ(stat(url.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2);
}
#endif

#ifndef _WIN32
// Hard and symbolic links and permission bits are POSIX's.
TEST_F(ProfileFiles, WritesThroughASymbolicLink) {
    writeFile(dir / "real.url", "[CommentKey]\r\nWords=old\r\n");
    ASSERT_EQ(symlink("real.url", url.c_str()), 0);
    ASSERT_TRUE(profile.WriteShortcutComment(url, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(url));
    EXPECT_EQ(readFile(dir / "real.url"), "[CommentKey]\r\nWords=new\r\n");
}
#endif

TEST_F(ProfileFiles, SettingsRoundTripAndEmptyKeysStay) {
    ASSERT_TRUE(profile.WriteSetting("SerchCond", "check1", " 11"));
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(profile.WriteSetting("KeyWords", "W" + std::to_string(i), ""));
    }
    EXPECT_EQ(profile.ReadSetting("SerchCond", "check1"), "11");
    EXPECT_EQ(profile.ReadSetting("keywords", "w14"), "");
    const std::string text = readFile(folders.settingsFile());
    EXPECT_NE(text.find("\r\nW0=\r\nW1=\r\n"), std::string::npos);
    EXPECT_NE(text.find("W14=\r\n"), std::string::npos);
}

TEST_F(ProfileFiles, SettingsFolderIsCreatedByTheFirstWrite) {
    // The program folder lies inside the temporary folder and does not exist yet.
    ASSERT_FALSE(std::filesystem::exists(folders.programFolder()));
    ASSERT_TRUE(profile.WriteSetting("mmode", "value", " 2"));
    EXPECT_EQ(profile.ReadSetting("mmode", "value"), "2");
}

TEST_F(ProfileFiles, CodePageOtherThanCp932) {
    const test::SystemCodePage eucJp("EUC-JP");
    const Profile euc(fs, eucJp, folders);
    ASSERT_TRUE(euc.WriteShortcutComment(url, "日本"));
    EXPECT_EQ(readFile(url), "[CommentKey]\r\nWords=\xC6\xFC\xCB\xDC\r\n");
    EXPECT_EQ(euc.ReadShortcutComment(url), "日本");
}

TEST(OneLine, TurnsEachLineBreakIntoOneBlank) {
    EXPECT_EQ(oneLine("a\r\nb\n\nc\rd"), "a b  c d");
    EXPECT_EQ(oneLine(std::string("x\0y", 3)), "x y");
    EXPECT_EQ(oneLine("plain"), "plain");
}

}  // namespace
}  // namespace brim::core
