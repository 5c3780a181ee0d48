#include "core/ProfileEncoding.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "core/Profile.h"
#ifdef _WIN32
#include "platform/win32/Win32Text.h"
#endif

namespace brim::core {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

const test::SystemCodePage& codePage() {
    static const test::SystemCodePage cp("CP932");
    return cp;
}

// Bytes of UTF-8 text in another encoding, by iconv rather than by the code
// under test.
std::string encodeAs(const char* encoding, std::string_view utf8) {
    if (std::string_view(encoding) == "UTF-8") return std::string(utf8);
#ifdef _WIN32
    // UTF-16 is no code page MultiByteToWideChar converts to.
    if (std::string_view(encoding) == "UTF-16LE") {
        std::string bytes;
        for (const wchar_t unit : platform::win32::widen(utf8)) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    }
#endif
    const test::SystemCodePage target(encoding);
    return target.encode(utf8).value();
}

std::size_t countEntries(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(ProfileEncoding, DetectsEachKindOfFile) {
    const struct {
        const char* what;
        std::string bytes;
        FileEncoding expected;
    } cases[] = {
        {"empty", "", FileEncoding::CodePage},
        {"ASCII", "[S]\r\nk=v\r\n", FileEncoding::CodePage},
        {"CP932", test::cp932("[S]\r\nk=日本語\r\n"), FileEncoding::CodePage},
        {"UTF-16LE mark", "\xFF\xFE[\0", FileEncoding::Utf16Le},
        {"UTF-8 mark", "\xEF\xBB\xBF[S]\r\n", FileEncoding::Utf8Bom},
        {"UTF-8 not valid CP932", "[S]\r\nk=コメント\r\n", FileEncoding::Utf8},
        // Where the first other byte falls against the words scanned.
        {"UTF-8 after two whole words", "[S]\r\nk=0123456789コメント", FileEncoding::Utf8},
        {"UTF-8 within the second word", "[S]\r\nk=01234コメント", FileEncoding::Utf8},
        {"valid in both, in the last bytes", "[S]\r\nk=0123456789ab\xC3\xBC",
         FileEncoding::CodePage},
        {"UTF-8 in the last bytes", "[S]\r\nk=0123456789abcdefghiコメント", FileEncoding::Utf8},
        // Valid in both: the code page wins, as it always did.
        {"UTF-8 also valid CP932", "k=\xC3\xBC", FileEncoding::CodePage},
        {"valid in neither", "k=\x80\xFF\xFE", FileEncoding::CodePage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detectEncoding(c.bytes, codePage()), c.expected) << c.what;
    }
}

TEST(ProfileEncoding, Utf16UnitsSurviveTheWayThroughUtf8) {
    // Random units, many of them surrogates alone, in pairs or out of order.
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> kind(0, 5);
    for (int round = 0; round < 300; ++round) {
        std::string units;
        const int count = round % 40;
        for (int i = 0; i < count; ++i) {
            unsigned u = 0;
            switch (kind(random)) {
                case 0:
                    u = 0xD800 + random() % 0x400;
                    break;
                case 1:
                    u = 0xDC00 + random() % 0x400;
                    break;
                case 2:
                    u = random() % 0x80;
                    break;
                default:
                    u = random() % 0x10000;
                    break;
            }
            units.push_back(static_cast<char>(u & 0xFF));
            units.push_back(static_cast<char>(u >> 8));
        }
        const std::string text = utf16LeToUtf8(units);
        const auto back = utf8ToUtf16Le(text);
        ASSERT_TRUE(back) << round;
        ASSERT_EQ(*back, units) << round;
    }
    // Valid text agrees with iconv both ways.
    const std::string text = "[CommentKey]\r\nWords=日本 \xF0\x9F\x98\x80 \xEF\xBF\xBD\r\n";
    EXPECT_EQ(utf8ToUtf16Le(text).value(), encodeAs("UTF-16LE", text));
    EXPECT_EQ(utf16LeToUtf8(encodeAs("UTF-16LE", text)), text);
    // What is not UTF-8 cannot go into a UTF-16LE file.
    EXPECT_FALSE(utf8ToUtf16Le("a\x80z"));
}

class ProfileEncodingFiles : public testing::Test {
  protected:
    TempDir dir;
    test::TestFolders folders{dir};
    test::FlakyFileSystem fs;
    Profile profile{fs, codePage(), folders};
    std::string url = dir / "a.url";

    WriteStatus save(const std::string& path, std::string_view address, std::string_view comment) {
        const ProfileChange changes[] = {{kShortcutSection, kUrlKey, address},
                                         {kCommentSection, kCommentKey, comment}};
        return profile.write(path, changes);
    }
};

// A favorite that another program wrote, in each encoding a file may have.
TEST_F(ProfileEncodingFiles, EachFileKeepsItsEncoding) {
    const struct {
        const char* what;
        const char* encoding;  // iconv's name
        std::string mark;
        FileEncoding expected;
        bool holdsAnyCharacter;
    } cases[] = {
        {"UTF-16LE", "UTF-16LE", "\xFF\xFE", FileEncoding::Utf16Le, true},
        {"UTF-8 with mark", "UTF-8", "\xEF\xBB\xBF", FileEncoding::Utf8Bom, true},
        {"UTF-8 without mark", "UTF-8", "", FileEncoding::Utf8, true},
        {"CP932", "CP932", "", FileEncoding::CodePage, false},
    };
    // Lines the program never reads, with a comment that only UTF-8 makes
    // invalid in CP932, a lone CR, and no break after the last line.
    const std::string before =
        "; コメント written elsewhere\r\n[InternetShortcut]\r\nURL=http://old/\rIconFile=C:\\表\\"
        "x.ico\n[CommentKey]\r\nWords=古いコメント\r\n[Other]\r\nx=ソ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = c.mark + encodeAs(c.encoding, before);
        writeFile(url, bytes);
        ASSERT_EQ(detectEncoding(bytes, codePage()), c.expected);
        const ShortcutValues values = profile.ReadShortcut(url);
        EXPECT_EQ(values.url, "http://old/");
        EXPECT_EQ(values.comment, "古いコメント");

        ASSERT_TRUE(save(url, "http://new/", "新しい「コメント」"));
        std::string after = before;
        after.replace(after.find("http://old/"), 11, "http://new/");
        after.replace(after.find("古いコメント"), std::string("古いコメント").size(),
                      "新しい「コメント」");
        EXPECT_EQ(readFile(url), c.mark + encodeAs(c.encoding, after));
        EXPECT_EQ(profile.ReadShortcutComment(url), "新しい「コメント」");

        // A character outside CP932 is stored where the encoding holds it and
        // refused, naming it, where it does not.
        const std::string emoji = "smile \xF0\x9F\x98\x80";
        const WriteStatus status = save(url, "http://emoji/", emoji);
        if (c.holdsAnyCharacter) {
            ASSERT_TRUE(status) << describe(status);
            EXPECT_EQ(profile.ReadShortcutComment(url), emoji);
        } else {
            EXPECT_EQ(status.kind, WriteStatus::Kind::Unencodable);
            EXPECT_EQ(status.character, "\xF0\x9F\x98\x80");
            EXPECT_EQ(status.encoding, "CP932");
            EXPECT_EQ(readFile(url), c.mark + encodeAs(c.encoding, after));
        }
        EXPECT_EQ(countEntries(dir.path()), 1u);
    }
}

TEST_F(ProfileEncodingFiles, Utf16LoneSurrogateAndOddByteSurvive) {
    const auto utf16 = [](std::string_view s) { return encodeAs("UTF-16LE", s); };
    const std::string loneHigh("\x3D\xD8", 2);
    const std::string loneLow("\x00\xDC", 2);
    const std::string head = std::string("\xFF\xFE") + utf16("; ") + loneHigh + utf16("\r\n");
    const std::string tail = utf16("\r\n;") + loneLow + "Z";  // an odd last byte
    writeFile(url, head + utf16("[CommentKey]\r\nWords=old") + loneLow + utf16("x") + tail);
    EXPECT_EQ(profile.ReadShortcutComment(url), "old\xEF\xBF\xBDx");
    ASSERT_TRUE(profile.WriteShortcutComment(url, "new"));
    EXPECT_EQ(readFile(url), head + utf16("[CommentKey]\r\nWords=new") + tail);
}

// The second key failing leaves the file as it was and makes no new one.
TEST_F(ProfileEncodingFiles, AFailingSecondKeyChangesNothing) {
    const std::string before =
        "[InternetShortcut]\r\nURL=http://old/\r\n[CommentKey]\r\nWords=old\r\n";
    writeFile(url, before);
    const std::string fresh = dir / "new.url";
    for (const auto& path : {url, fresh}) {
        const WriteStatus status = save(path, "http://new/", "\xF0\x9F\x98\x80 emoji");
        EXPECT_EQ(status.kind, WriteStatus::Kind::Unencodable) << path;
        EXPECT_NE(describe(status).find("\xF0\x9F\x98\x80"), std::string::npos);
    }
    EXPECT_EQ(readFile(url), before);
    fs.unwritable = {url, fresh};
    for (const auto& path : {url, fresh}) {
        const WriteStatus status = save(path, "http://new/", "fine");
        EXPECT_EQ(status.kind, WriteStatus::Kind::WriteFailed) << path;
        EXPECT_EQ(status.io.error, platform::IoError::NoSpace);
    }
    EXPECT_EQ(readFile(url), before);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(countEntries(dir.path()), 1u);
}

#ifndef _WIN32
// A small disk of its own: a tmpfs, mounted as root.
TEST_F(ProfileEncodingFiles, AFullDiskChangesNothing) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string disk = dir / "disk";
    std::filesystem::create_directory(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    }
    struct Unmount {
        std::string at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    const std::string file = disk + "/a.url";
    const std::string before =
        "[InternetShortcut]\r\nURL=http://old/\r\n[CommentKey]\r\nWords=old\r\n";
    writeFile(file, before);
    {
        // Fill the disk to its last byte.
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
               filler.flush()) {
        }
    }
    {
        std::ofstream filler(disk + "/filler2", std::ios::binary);
        while (filler.put('x') && filler.flush()) {
        }
    }
    const WriteStatus status = save(file, "http://new/", std::string(3000, 'c'));
    EXPECT_EQ(status.kind, WriteStatus::Kind::WriteFailed);
    EXPECT_EQ(status.io.error, platform::IoError::NoSpace);
    EXPECT_NE(describe(status).find("disk is full"), std::string::npos);
    EXPECT_EQ(readFile(file), before);
    const WriteStatus fresh = save(disk + "/new.url", "http://new/", std::string(3000, 'c'));
    EXPECT_EQ(fresh.io.error, platform::IoError::NoSpace);
    EXPECT_FALSE(std::filesystem::exists(disk + "/new.url"));
    EXPECT_EQ(countEntries(disk), 3u);
}
#endif

}  // namespace
}  // namespace brim::core
