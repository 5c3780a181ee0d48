#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "SessionSamples.h"
#include "TestSupport.h"
#include "core/Paths.h"
#include "core/Profile.h"
#include "core/Sessions.h"
#include "platform/Processors.h"
#include "platform/Services.h"
#include "platform/SystemError.h"
#include "platform/win32/ShellLinkShortcuts.h"
#include "platform/win32/Win32BrowserProfiles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

namespace fs = std::filesystem;

using test::utf8;
const auto pathOf = test::fsPath;

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
    test::TempDir tempDir;  // for the settings folders of the core's objects
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
    for (const std::string& f : {folders.favorites(), folders.desktop(), folders.sendTo(),
                                 folders.programs(), folders.programFolder()}) {
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

// The shell's own folders are told apart: a shortcut meant for SendTo must
// not land on the Desktop.
TEST(Win32KnownFolders, EachFolderIsItsOwn) {
    const Win32KnownFolders folders;
    const std::set<std::string> distinct = {folders.favorites(), folders.desktop(),
                                            folders.sendTo(), folders.programs()};
    EXPECT_EQ(distinct.size(), 4u);
    EXPECT_NE(folders.sendTo().find("SendTo"), std::string::npos) << folders.sendTo();
}

TEST_F(Win32Fixture, ShellLinksPointAtTheProgramAndAreReplaced) {
    // Wine's links keep their target in the ANSI code page (GetPath answers
    // "?" for Japanese), so the folders here are plain ASCII.
    const std::string ascii = tempDir.path();
    const std::string program = ascii + "Program Files\\Brimmark\\";
    ShellLinkShortcuts shortcuts(program);
    const struct {
        std::string folder;
        bool made;
    } cases[] = {
        {ascii + "SendTo\\", true},
        {ascii + "Desktop", true},               // no separator at the end
        {ascii + "Start Menu/Programs/", true},  // missing folders are made, "/" taken
        {ascii + "file.txt\\", false},           // a file stands where the folder would be
    };
    write(ascii + "file.txt", "x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const IoResult r = shortcuts.create(c.folder);
        EXPECT_EQ(static_cast<bool>(r), c.made);
        std::string link = c.folder;
        std::replace(link.begin(), link.end(), '/', '\\');
        if (!link.ends_with('\\')) link += '\\';
        link += "Brimmark.lnk";
        EXPECT_EQ(shellLinkTarget(link),
                  c.made ? std::optional(program + "brimmark.exe") : std::nullopt);
    }
    // A second shortcut replaces the first, now for another program folder.
    ASSERT_TRUE(ShellLinkShortcuts(ascii + "other\\").create(ascii + "SendTo\\"));
    EXPECT_EQ(shellLinkTarget(ascii + "SendTo\\Brimmark.lnk"), ascii + "other\\brimmark.exe");
    EXPECT_EQ(shellLinkTarget(base + "file.txt"), std::nullopt) << "not a link";
}

TEST_F(Win32Fixture, RecycledFilesReachWinesTrash) {
    const std::string name = "recycled-" + std::to_string(GetCurrentProcessId()) + ".url";
    write(base + name, "[InternetShortcut]\r\nURL=http://r/\r\n");
    ASSERT_TRUE(RecycleBin().moveToTrash(base + name));
    EXPECT_FALSE(fs::exists(pathOf(base + name)));
    // Wine keeps the recycle bin in the freedesktop trash of the Unix home.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (!data || data[0] != '/') GTEST_SKIP() << "no XDG_DATA_HOME: where the trash is is unknown";
    const std::string trashed = "Z:" + std::string(data) + "/Trash/files/" + name;
    EXPECT_TRUE(fs::exists(pathOf(trashed))) << trashed;
    std::error_code ignored;
    fs::remove(pathOf(trashed), ignored);
}

TEST_F(Win32Fixture, ProfileFilesAgreeWithTheProfileApi) {
    const test::TestFolders folders(tempDir);
    const Win32CodePage cp;
    core::Profile profile(files, cp, folders);
    const std::string file = base + "ニュース\\記事.url";
    ASSERT_TRUE(files.createFolder(base + "ニュース"));
    ASSERT_TRUE(profile.WriteShortcutUrl(file, "http://news.example/?a=1"));
    ASSERT_TRUE(profile.WriteShortcutComment(file, "daily"));
    wchar_t text[256] = {};
    const std::wstring wide = win32::widen(file);
    GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", text, 256, wide.c_str());
    EXPECT_EQ(win32::narrow(text), "http://news.example/?a=1");
    GetPrivateProfileStringW(L"CommentKey", L"Words", L"", text, 256, wide.c_str());
    EXPECT_EQ(win32::narrow(text), "daily");
    // What the API writes, the program reads.
    WritePrivateProfileStringW(L"CommentKey", L"Words", L"weekly", wide.c_str());
    EXPECT_EQ(profile.ReadShortcutComment(file), "weekly");
    EXPECT_EQ(profile.ReadShortcutUrl(file), "http://news.example/?a=1");
}

// Browsers found under a made-up %APPDATA% and %LOCALAPPDATA%; a profile
// counts while a process holds its lock file open.
class BrowserDiscovery : public Win32Fixture {
  protected:
    Win32BrowserProfiles profiles{[this](const std::string& name) -> std::optional<std::string> {
        if (name == "APPDATA") return base + "Roaming";
        if (name == "LOCALAPPDATA") return base + "Local\\";
        return std::nullopt;
    }};

    // Holds `path` as the browsers do: open, sharing nothing.
    struct Lock {
        HANDLE h;
        explicit Lock(const std::string& path)
            : h(CreateFileW(win32::widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr)) {}
        ~Lock() {
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    };
};

TEST_F(BrowserDiscovery, FoldersUnderTheUsersAppData) {
    const std::vector<BrowserFolder> expected = {
        {BrowserKind::Firefox, base + "Roaming\\Mozilla\\Firefox\\", "Mozilla Firefox"},
        {BrowserKind::Chromium, base + "Local\\Chromium\\User Data\\", "Chromium"},
        {BrowserKind::Chromium, base + "Local\\Google\\Chrome\\User Data\\", "Google Chrome"},
    };
    EXPECT_EQ(profiles.browserFolders(), expected);
    // A relative or missing variable names no folder.
    EXPECT_TRUE(Win32BrowserProfiles(
                    [](const std::string&) { return std::optional<std::string>("relative\\path"); })
                    .browserFolders()
                    .empty());
    EXPECT_TRUE(Win32BrowserProfiles([](const std::string&) { return std::nullopt; })
                    .browserFolders()
                    .empty());
    // The process's own environment, as the program reads it.
    const test::ScopedEnv appData("APPDATA", base + "Env");
    const auto fromEnvironment = Win32BrowserProfiles().browserFolders();
    ASSERT_FALSE(fromEnvironment.empty());
    EXPECT_EQ(fromEnvironment.front().folder, base + "Env\\Mozilla\\Firefox\\");
}

TEST_F(BrowserDiscovery, PagesOfTheRunningProfilesOnly) {
    const std::string firefox = base + "Roaming\\Mozilla\\Firefox\\";
    const std::string chrome = base + "Local\\Google\\Chrome\\User Data\\";
    fs::create_directories(pathOf(firefox + "Profiles\\abc.default\\sessionstore-backups"));
    fs::create_directories(pathOf(chrome + "Default\\Sessions"));
    write(firefox + "profiles.ini",
          "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\n");
    write(firefox + "Profiles\\abc.default\\sessionstore-backups\\recovery.jsonlz4",
          test::jsonlz4(R"({"windows":[{"tabs":[{"entries":[{"url":"https://f.example/",)"
                        R"("title":"F"}]}]}]})"));
    test::Snss log;
    log.command(0, test::Snss::ints({1, 7}));
    log.navigation(7, 0, "https://c.example/", u"C");
    write(chrome + "Default\\Sessions\\Session_13400000000000000", log.bytes);

    core::SessionPageSource source(files, std::make_unique<Win32BrowserProfiles>(profiles));
    const auto titles = [&source] {
        std::vector<std::string> out;
        for (const auto& page : source.openPages())
            out.push_back(page.title + "@" + page.application);
        return out;
    };
    EXPECT_EQ(titles(), std::vector<std::string>{}) << "nothing runs";
    {
        const Lock firefoxRuns(firefox + "Profiles\\abc.default\\parent.lock");
        ASSERT_NE(firefoxRuns.h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(titles(), std::vector<std::string>{"F@Mozilla Firefox"});
        const Lock chromeRuns(chrome + "lockfile");
        EXPECT_EQ(titles(), (std::vector<std::string>{"F@Mozilla Firefox", "C@Google Chrome"}));
        EXPECT_TRUE(source.skipped().empty());
    }
    // A lock left behind by a crash is no running browser.
    write(chrome + "lockfile", "");
    EXPECT_FALSE(isHeldOpen(chrome + "lockfile"));
    EXPECT_EQ(titles(), std::vector<std::string>{});
}

TEST(Win32Services, TheSystemSetIsCompleteButForThePages) {
    const auto services = makePlatformServices();
    ASSERT_TRUE(services);
    EXPECT_TRUE(services->fs && services->codePage && services->folders && services->caseMapper &&
                services->opener && services->trash && services->shortcuts && services->browsers);
    EXPECT_FALSE(services->pages);  // read from the session files above the platform
    EXPECT_EQ(services->codePage->name(), "CP" + std::to_string(GetACP()));
    EXPECT_EQ(services->shortcuts->refusal(), "");
}

TEST(Win32Processors, TheProcessAffinityBoundsTheCount) {
    EXPECT_GE(usableProcessors(), 1u);
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    // The lowest processor the process may run on, alone.
    const DWORD_PTR lowest = process & (~process + 1);
    if (!SetProcessAffinityMask(GetCurrentProcess(), lowest))
        GTEST_SKIP() << "the system keeps the process's affinity";
    const unsigned pinned = usableProcessors();
    SetProcessAffinityMask(GetCurrentProcess(), process);
    EXPECT_EQ(pinned, 1u);
}

}  // namespace
}  // namespace brim::platform
