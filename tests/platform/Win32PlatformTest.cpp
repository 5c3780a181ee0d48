#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/Paths.h"
#include "core/Profile.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

namespace fs = std::filesystem;

std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

fs::path pathOf(const std::string& utf8Path) {
    return fs::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

// A fresh folder under the temporary folder, removed with what it holds.
class Win32Fixture : public testing::Test {
  protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = fs::temp_directory_path() /
              (u8"brimmark-テスト-" +
               std::u8string(reinterpret_cast<const char8_t*>(std::to_string(stamp).c_str())));
        fs::create_directories(dir);
        base = utf8(dir) + "\\";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    void write(const std::string& path, const std::string& bytes) {
        std::ofstream(pathOf(path), std::ios::binary) << bytes;
    }

    fs::path dir;
    std::string base;
    Win32FileSystem files;
};

TEST_F(Win32Fixture, FilesRoundTripUnderJapaneseNames) {
    const std::string folder = base + "ニュース";
    ASSERT_TRUE(files.createFolder(folder));
    EXPECT_TRUE(files.createFolder(folder)) << "an existing folder is success";
    const std::string file = folder + "\\記事.url";
    ASSERT_TRUE(files.createNewFile(file, "[InternetShortcut]\r\n"));
    EXPECT_EQ(files.createNewFile(file, "x").error, IoError::Exists);
    ASSERT_TRUE(files.replaceFile(file, "new"));
    std::string read;
    ASSERT_TRUE(files.readFile(file, read));
    EXPECT_EQ(read, "new");
    EXPECT_TRUE(fs::exists(pathOf(file)));
    EXPECT_EQ(files.readFile(folder + "\\gone.url", read).error, IoError::NotFound);
    EXPECT_EQ(files.readFile(folder, read).error, IoError::NotAFile);
    EXPECT_EQ(files.removeFolder(folder).error == IoError::None, false) << "not empty";
    const auto mtime = files.modificationTime(file);
    ASSERT_TRUE(mtime);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    EXPECT_LT(std::abs(*mtime - now), 120);
    // The temporary file of the replacement is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(pathOf(folder)), fs::directory_iterator()), 1);
}

TEST_F(Win32Fixture, RenameNewNeverReplacesAName) {
    const std::string file = base + "表示.url";
    const std::string other = base + "other.url";
    write(file, "a");
    write(other, "b");
    const struct {
        const char* what;
        std::string from, to;
        IoError error;
    } cases[] = {
        {"onto a taken name", file, other, IoError::Exists},
        {"onto a taken name in another case", file, base + "OTHER.URL", IoError::Exists},
        {"from a name that is gone", base + "gone.url", base + "new.url", IoError::NotFound},
        {"to a free name", file, base + "新しい.url", IoError::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(files.renameNew(c.from, c.to).error, c.error);
    }
    std::string read;
    ASSERT_TRUE(files.readFile(base + "新しい.url", read));
    EXPECT_EQ(read, "a");
    ASSERT_TRUE(files.readFile(other, read));
    EXPECT_EQ(read, "b");
    EXPECT_FALSE(fs::exists(pathOf(file)));
    // A folder, named with its trailing separator as the walks name it.
    ASSERT_TRUE(files.createFolder(base + "フォルダ"));
    EXPECT_TRUE(files.renameNew(base + "フォルダ\\", base + "日本語\\"));
    EXPECT_TRUE(fs::is_directory(pathOf(base + "日本語")));
}

TEST_F(Win32Fixture, ListingCarriesAttributesInTheProgramsOrder) {
    write(base + "b.url", "");
    write(base + "B2.url", "");
    write(base + "a.url", "");
    write(base + "hidden.url", "");
    fs::create_directory(dir / "Sub");
    SetFileAttributesW(win32::widen(base + "hidden.url").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const auto entries = files.listFolder(base);
    ASSERT_TRUE(entries);
    const struct {
        std::string name;
        std::uint32_t has, hasNot;
    } expected[] = {
        {"a.url", 0, kDirectory | kHidden},  {"b.url", 0, kDirectory | kHidden},
        {"B2.url", 0, kDirectory | kHidden}, {"hidden.url", kHidden, kDirectory},
        {"Sub", kDirectory, kHidden},
    };
    ASSERT_EQ(entries->size(), std::size(expected));
    for (std::size_t i = 0; i < entries->size(); ++i) {
        EXPECT_EQ((*entries)[i].name, expected[i].name);
        EXPECT_EQ((*entries)[i].attributes & expected[i].has, expected[i].has) << expected[i].name;
        EXPECT_EQ((*entries)[i].attributes & expected[i].hasNot, 0u) << expected[i].name;
    }
    EXPECT_FALSE(files.openFolder(base + "missing\\"));
    EXPECT_FALSE(files.openFolder(base + "a.url"));
}

TEST_F(Win32Fixture, ReadOnlyFilesAreRefusedAndKept) {
    const std::string file = base + "locked.url";
    write(file, "old");
    SetFileAttributesW(win32::widen(file).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files.replaceFile(file, "new").error, IoError::ReadOnly);
    std::string read;
    ASSERT_TRUE(files.readFile(file, read));
    EXPECT_EQ(read, "old");
    SetFileAttributesW(win32::widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32Fixture, PathsLongerThanMaxPath) {
    std::string folder = base;
    while (folder.size() < 300) {
        folder += std::string(40, 'd') + "\\";
        ASSERT_TRUE(files.createFolder(folder)) << folder.size();
    }
    const std::string file = folder + "deep.url";
    ASSERT_TRUE(files.createNewFile(file, "deep"));
    ASSERT_TRUE(files.replaceFile(file, "deeper"));
    std::string read;
    ASSERT_TRUE(files.readFile(file, read));
    EXPECT_EQ(read, "deeper");
    // Past MAX_PATH the name is taken literally; "/" and doubled separators still work.
    std::string slashed = folder + "/deep.url";
    std::replace(slashed.begin() + 3, slashed.end(), '\\', '/');
    ASSERT_TRUE(files.readFile(slashed, read)) << slashed;
    EXPECT_EQ(read, "deeper");
    const auto entries = files.listFolder(folder);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 1u);
}

TEST_F(Win32Fixture, CorePathsOnTheRealFileSystem) {
    fs::create_directories(dir / u8"Links" / u8"ニュース");
    write(base + "Links\\ニュース\\Match.url", "");
    // Forward slashes, doubled separators and another case all find the file.
    const std::string full = core::FullPath(base, "links//ニュース/match.URL");
    EXPECT_EQ(full, base + "links\\ニュース\\match.URL");
    EXPECT_EQ(core::LongPathName(files, full), base + "Links\\ニュース\\Match.url");
    EXPECT_EQ(core::FolderLabel(base, base + "Links\\ニュース\\"), "\\Links\\ニュース\\");
}

TEST_F(Win32Fixture, RecycleBinTakesTheFile) {
    const std::string file = base + "ごみ.url";
    write(file, "x");
    ASSERT_TRUE(RecycleBin().moveToTrash(file));
    EXPECT_FALSE(fs::exists(pathOf(file)));
    EXPECT_EQ(RecycleBin().moveToTrash(file).error, IoError::NotFound);
}

TEST(Win32CodePage, Cp932RoundTrips) {
    const Win32CodePage cp;
    const struct {
        std::string text, bytes;
    } cases[] = {
        {"abc", "abc"},
        {"ニュース", "\x83\x6A\x83\x85\x81\x5B\x83\x58"},
        {"記事", "\x8B\x4C\x8E\x96"},
        {"ｶﾅ", "\xB6\xC5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp.decode(c.bytes), c.text);
        EXPECT_EQ(cp.encode(c.text), c.bytes) << c.text;
        EXPECT_TRUE(cp.isValid(c.bytes)) << c.text;
    }
    EXPECT_FALSE(cp.isValid("ab\x83")) << "a lead byte without its trail";
    EXPECT_EQ(cp.encode("😀"), std::nullopt);
    EXPECT_EQ(cp.encode("é"), std::nullopt) << "no best-fit replacement";
    EXPECT_TRUE(cp.isLeadByte(0x83));
    EXPECT_FALSE(cp.isLeadByte('A'));
    EXPECT_FALSE(cp.isLeadByte(0xB6));
    EXPECT_EQ(cp.name(), "CP932");
}

TEST(Win32CaseMapper, UpperCase) {
    const Win32CaseMapper mapper;
    const struct {
        char32_t in, out;
    } cases[] = {
        {U'a', U'A'}, {U'Z', U'Z'}, {U'ä', U'Ä'},   {U'ａ', U'Ａ'},
        {U'ω', U'Ω'}, {U'1', U'1'}, {U'ニ', U'ニ'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mapper.upper(c.in), c.out) << static_cast<std::uint32_t>(c.in);
}

TEST(Win32KnownFolders, AbsoluteFoldersEndingInOneSeparator) {
    const Win32KnownFolders folders;
    const NativePaths paths = NativePaths::native();
    for (const std::string& f :
         {folders.favorites(), folders.desktop(), folders.sendTo(), folders.programFolder()}) {
        ASSERT_FALSE(f.empty());
        EXPECT_TRUE(paths.isAbsolute(f)) << f;
        EXPECT_EQ(f.back(), '\\') << f;
        EXPECT_NE(f[f.size() - 2], '\\') << f;
    }
    // No settings file lies beside the test program.
    const std::string settings = folders.settingsFile();
    EXPECT_NE(settings.rfind(folders.programFolder(), 0), 0u) << settings;
    const std::string tail = "\\Brimmark\\Brimmark.ini";
    ASSERT_GT(settings.size(), tail.size());
    EXPECT_EQ(settings.substr(settings.size() - tail.size()), tail) << settings;
}

TEST_F(Win32Fixture, SettingsInAppDataUnlessAPortableCopyLiesBesideTheProgram) {
    std::wstring appData(32768, L'\0');
    appData.resize(
        GetEnvironmentVariableW(L"APPDATA", appData.data(), static_cast<DWORD>(appData.size())));
    ASSERT_FALSE(appData.empty());
    const std::string roaming = win32::narrow(appData) + "\\Brimmark\\Brimmark.ini";
    const struct {
        const char* besideProgram;  // "", "file" or "folder"
        bool portable;
    } cases[] = {{"", false}, {"file", true}, {"folder", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.besideProgram);
        const std::string program = base + c.besideProgram + "プログラム";
        ASSERT_TRUE(files.createFolder(program));
        const std::string beside = program + "\\Brimmark.ini";
        if (std::string(c.besideProgram) == "file") write(beside, "");
        if (std::string(c.besideProgram) == "folder") {
            ASSERT_TRUE(files.createFolder(beside));
        }
        const Win32KnownFolders folders(program);
        EXPECT_EQ(folders.programFolder(), program + "\\");
        EXPECT_EQ(folders.settingsFile(), c.portable ? beside : roaming);
    }
}

TEST(SystemErrorText, WindowsCodesAreNotErrnoValues) {
    const IoResult denied{IoError::Other, ERROR_ACCESS_DENIED};
    EXPECT_EQ(core::describe(denied), systemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_NE(core::describe(denied), std::strerror(ERROR_ACCESS_DENIED));
    EXPECT_NE(systemErrorText(ERROR_FILE_NOT_FOUND), "error 2");
}

TEST(ShellOpener, ReportsWhatCannotBeOpened) {
    EXPECT_NE(ShellOpener().open("C:\\no\\such\\folder\\file.brimmark-none"), "");
}

}  // namespace
}  // namespace brim::platform
