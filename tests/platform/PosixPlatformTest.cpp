#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <thread>

#include "TestSupport.h"
#include "platform/Processors.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixKnownFolders.h"

namespace brim::platform {
namespace {

TEST(IconvCodePage, Cp932LeadBytesAndConversions) {
    const IconvCodePage cp("CP932");
    EXPECT_TRUE(cp.isLeadByte(0x81));
    EXPECT_TRUE(cp.isLeadByte(0x9F));
    EXPECT_TRUE(cp.isLeadByte(0xE0));
    EXPECT_FALSE(cp.isLeadByte(0x41));
    EXPECT_FALSE(cp.isLeadByte(0xA1));  // half-width katakana stand alone
    EXPECT_EQ(cp.encode("表\\~").value(), "\x95\x5C\\~");
    EXPECT_EQ(cp.decode("\x95\x5C\xB1"), "表ｱ");
    EXPECT_FALSE(cp.encode("\U0001F600").has_value());
    EXPECT_FALSE(cp.encode("\xFF").has_value());  // not UTF-8 at all
}

TEST(IconvCodePage, UndecodableBytesBecomeReplacementCharacters) {
    const IconvCodePage cp("CP932");
    EXPECT_EQ(cp.decode("a\x80"
                        "b"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(cp.decode("ab\x81"), "ab\uFFFD");  // a lead byte at the end
}

TEST(IconvCodePage, UnknownNameThrows) {
    EXPECT_THROW(IconvCodePage("NO-SUCH-CODEPAGE"), std::runtime_error);
}

TEST(LocaleCaseMapper, MapsUnicodeLettersButNotKana) {
    const LocaleCaseMapper m;
    EXPECT_EQ(m.upper(U'a'), U'A');
    EXPECT_EQ(m.upper(U'Z'), U'Z');
    EXPECT_EQ(m.upper(U'ａ'), U'Ａ');  // full-width Latin
    EXPECT_EQ(m.upper(U'é'), U'É');
    EXPECT_EQ(m.upper(U'ぁ'), U'ぁ');
    EXPECT_EQ(m.upper(U'1'), U'1');
}

TEST(PosixFileSystem, AttributeValues) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::writeFile(dir / "f.url", "");
    test::writeFile(dir / ".h.url", "");
    test::writeFile(dir / "ro.url", "");
    chmod((dir / "ro.url").c_str(), 0444);
    test::makeFolders(dir / "D");
    ASSERT_EQ(symlink("D", (dir / "L").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "p").c_str(), 0644), 0);
    const std::map<std::string, std::uint32_t> expected = {
        {"f.url", 0},
        {".h.url", kHidden},
        {"ro.url", kReadOnly},
        {"D", kDirectory},
        {"L", kDirectory | kReparsePoint},
        {"p", kSystem},
    };
    for (const auto& [name, attrs] : expected) {
        EXPECT_EQ(fs.attributes(dir / name).value(), attrs) << name;
    }
    EXPECT_FALSE(fs.attributes(dir / "missing").has_value());
    const auto listed = fs.listFolder(dir.path());
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), expected.size());
    for (const auto& e : *listed)
        EXPECT_EQ(e.attributes, expected.at(e.name)) << e.name;
    EXPECT_FALSE(fs.listFolder(dir / "missing/").has_value());
    // Unstamped, a plain file's read-only mark is not asked for; all else is as listed.
    const auto unstamped = fs.openFolder(dir.path())->entriesUnstamped();
    ASSERT_TRUE(unstamped.has_value());
    ASSERT_EQ(unstamped->size(), expected.size());
    for (std::size_t i = 0; i < unstamped->size(); ++i) {
        const auto& e = (*unstamped)[i];
        EXPECT_EQ(e.name, (*listed)[i].name);
        EXPECT_EQ(e.attributes, e.name == "ro.url" ? 0u : expected.at(e.name)) << e.name;
    }
}

TEST(PosixFileSystem, AnUnstampedListingLeavesEachFilesStampToItsRead) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::writeFile(dir / "a.url", "[InternetShortcut]\nURL=http://a/\n");
    test::makeFolders(dir / "D");
    ASSERT_EQ(symlink("a.url", (dir / "link.url").c_str()), 0);
    const auto folder = fs.openFolder(dir.path());
    const auto stamped = folder->entries();
    const auto unstamped = folder->entriesUnstamped();
    ASSERT_TRUE(stamped && unstamped);
    ASSERT_EQ(unstamped->size(), 3u);
    for (std::size_t i = 0; i < unstamped->size(); ++i) {
        const auto& e = (*unstamped)[i];
        // Only a plain file's stamp waits for its read; a link and a folder are asked at once.
        EXPECT_EQ(e.stamp.deferred, e.name == "a.url") << e.name;
        EXPECT_FALSE(e.stamp.known()) << e.name;
        if (!e.stamp.deferred) {
            EXPECT_EQ(e.stamp, (*stamped)[i].stamp) << e.name;
        }
    }
    std::string bytes;
    FileStamp stamp;
    ASSERT_TRUE(folder->readStamped("a.url", bytes, stamp));
    EXPECT_EQ(bytes, "[InternetShortcut]\nURL=http://a/\n");
    const auto listedA = std::find_if(stamped->begin(), stamped->end(),
                                      [](const DirEntry& e) { return e.name == "a.url"; });
    ASSERT_NE(listedA, stamped->end());
    EXPECT_TRUE(stamp.known());
    EXPECT_EQ(stamp, listedA->stamp);
    // A rewrite of the same size still gives another stamp.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    test::writeFile(dir / "a.url", "[InternetShortcut]\nURL=http://b/\n");
    FileStamp later;
    ASSERT_TRUE(folder->readStamped("a.url", bytes, later));
    EXPECT_EQ(bytes, "[InternetShortcut]\nURL=http://b/\n");
    EXPECT_NE(later, stamp);
    // Nothing but a plain file is read, and a pipe never blocks the read.
    ASSERT_EQ(mkfifo((dir / "p").c_str(), 0644), 0);
    for (const char* name : {"p", "D", "missing"}) {
        FileStamp none;
        EXPECT_FALSE(folder->readStamped(name, bytes, none)) << name;
        EXPECT_FALSE(none.known()) << name;
    }
}

TEST(Processors, TheAffinityBoundsTheCount) {
    EXPECT_GE(usableProcessors(), 1u);
    EXPECT_LE(usableProcessors(), std::max(1u, std::thread::hardware_concurrency()));
    // Pinned to one processor, the process has one to run on.
    cpu_set_t saved;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    int first = 0;
    while (!CPU_ISSET(first, &saved))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned pinned = usableProcessors();
    ASSERT_EQ(sched_setaffinity(0, sizeof saved, &saved), 0);
    EXPECT_EQ(pinned, 1u);
}

TEST(PosixFileSystem, ReadRefusesFoldersAndSpecialFilesWithoutBlocking) {
    test::TempDir dir;
    PosixFileSystem fs;
    std::string out = "stale";
    ASSERT_EQ(mkfifo((dir / "p").c_str(), 0644), 0);
    EXPECT_EQ(fs.readFile(dir / "p", out).error, IoError::NotAFile);
    EXPECT_EQ(fs.readFile(dir.path(), out).error, IoError::NotAFile);
    EXPECT_EQ(fs.readFile(dir / "missing", out).error, IoError::NotFound);
    EXPECT_TRUE(out.empty());
    // A huge file is refused before anything of its size is held in memory.
    test::writeFile(dir / "huge", "");
    std::filesystem::resize_file(dir / "huge", std::uintmax_t{1} << 30);
    EXPECT_EQ(fs.readFile(dir / "huge", out).error, IoError::TooLarge);
    EXPECT_LT(out.capacity(), 1u << 20);
    test::writeFile(dir / "f", std::string(100000, 'x'));
    ASSERT_TRUE(fs.readFile(dir / "f", out));
    EXPECT_EQ(out.size(), 100000u);
}

TEST(PosixFileSystem, CreateFolder) {
    test::TempDir dir;
    PosixFileSystem fs;
    EXPECT_TRUE(fs.createFolder(dir / "new"));
    EXPECT_TRUE(fs.createFolder(dir / "new"));  // already there
    EXPECT_EQ(fs.createFolder(dir / "a/b").error, IoError::NotFound);
    test::writeFile(dir / "file", "");
    EXPECT_FALSE(fs.createFolder(dir / "file"));
}

class KnownFoldersTest : public testing::Test {
  protected:
    test::TempDir dir;
    std::map<std::string, std::string> env{{"HOME", dir.path() + "home"}};
    PosixKnownFolders folders(const std::string& program) {
        return PosixKnownFolders(
            [this](const std::string& n) -> std::optional<std::string> {
                const auto it = env.find(n);
                return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
            },
            program);
    }
};

TEST_F(KnownFoldersTest, DefaultsUnderHome) {
    const auto f = folders(dir / "prog");
    const std::string home = dir.path() + "home/";
    EXPECT_EQ(f.favorites(), home + "Favorites/");
    EXPECT_EQ(f.desktop(), home + "Desktop/");
    EXPECT_EQ(f.sendTo(), home + ".local/share/applications/");
    EXPECT_EQ(f.programFolder(), dir / "prog/");
}

TEST_F(KnownFoldersTest, EnvironmentAndUserDirs) {
    env["BRIMMARK_FAVORITES"] = dir / "fav//";
    env["XDG_CONFIG_HOME"] = dir / "cfg";
    env["XDG_DATA_HOME"] = dir / "data";
    test::writeFile(
        dir / "cfg/user-dirs.dirs",
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_MUSIC_DIR=\"$HOME/m\"\n");
    const auto f = folders(dir / "prog");
    EXPECT_EQ(f.favorites(), dir / "fav/");
    EXPECT_EQ(f.desktop(), dir.path() + "home/デスクトップ/");
    EXPECT_EQ(f.sendTo(), dir / "data/applications/");
}

TEST_F(KnownFoldersTest, OneSettingsFileUnlessAPortableCopyLiesBesideTheProgram) {
    struct Case {
        const char* what;
        std::optional<std::string>
            configHome;             // under the temporary folder when it starts with "/"
        const char* besideProgram;  // "", "file" or "folder"
        std::string expected;       // relative to the temporary folder
    };
    const Case cases[] = {
        {"default under home", std::nullopt, "", "home/.config/brimmark/Brimmark.ini"},
        {"XDG_CONFIG_HOME", "/cfg", "", "cfg/brimmark/Brimmark.ini"},
        {"empty XDG_CONFIG_HOME", "", "", "home/.config/brimmark/Brimmark.ini"},
        {"relative XDG_CONFIG_HOME", "cfg", "", "home/.config/brimmark/Brimmark.ini"},
        {"portable copy", "/cfg", "file", "prog/Brimmark.ini"},
        {"a folder of that name is no copy", "/cfg", "folder", "cfg/brimmark/Brimmark.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir d;
        env = {{"HOME", d.path() + "home"}};
        if (c.configHome) {
            const std::string& v = *c.configHome;
            env["XDG_CONFIG_HOME"] = !v.empty() && v.front() == '/' ? d / v.substr(1) : v;
        }
        // The program folder is writable; that alone must not put the file there.
        test::makeFolders(d / "prog");
        if (std::string(c.besideProgram) == "file") test::writeFile(d / "prog/Brimmark.ini", "");
        if (std::string(c.besideProgram) == "folder") test::makeFolders(d / "prog/Brimmark.ini");
        EXPECT_EQ(folders(d / "prog").settingsFile(), d.path() + c.expected);
    }
}

TEST_F(KnownFoldersTest, HelpFileInstalledOrBesideTheProgram) {
    // Installed: PREFIX/bin/brimmark and PREFIX/share/doc/brimmark/Brimmark.html.
    test::writeFile(dir / "usr/share/doc/brimmark/Brimmark.html", "<html></html>");
    test::writeFile(dir / "usr/bin/Brimmark.html", "<html></html>");
    EXPECT_EQ(folders(dir / "usr/bin").helpFile(), dir / "usr/share/doc/brimmark/Brimmark.html");
    // A build tree: the copy beside the program.
    test::writeFile(dir / "build/ui/Brimmark.html", "<html></html>");
    EXPECT_EQ(folders(dir / "build/ui").helpFile(), dir / "build/ui/Brimmark.html");
    // Neither: the place beside the program, so that the window says it is missing.
    EXPECT_EQ(folders(dir / "none/bin").helpFile(), dir / "none/bin/Brimmark.html");
    EXPECT_EQ(folders("/").helpFile(), "/Brimmark.html");
}

TEST(ExecutableFolder, IsTheFolderOfTheTestProgram) {
    const std::string folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(access((folder + "brimmark_tests").c_str(), X_OK), 0);
}

}  // namespace
}  // namespace brim::platform

#include <chrono>
#include <csignal>
#include <thread>

#include "platform/posix/SpawnOpener.h"

namespace brim::platform {
namespace {

TEST(SpawnOpener, PassesTheTextUnchangedWithoutAShell) {
    test::TempDir dir;
    const std::string script = dir / "opener.sh";
    test::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out\"\n");
    chmod(script.c_str(), 0755);
    SpawnOpener opener(script);
    const std::string text = "http://x.example/?a=1&b='$(touch " + dir.path() + "pwned)' \"q\" ;|";
    EXPECT_EQ(opener.open(text), "");
    // The opener runs detached; wait for its output.
    std::string out;
    for (int i = 0; i < 200 && out != text; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = test::readFile(script + ".out");
    }
    EXPECT_EQ(out, text);
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST(SpawnOpener, ReportsAProgramThatCannotStart) {
    EXPECT_EQ(SpawnOpener("no-such-opener-program").open("x"),
              "no-such-opener-program was not found");
    test::TempDir dir;
    test::writeFile(dir / "notexec", "");
    chmod((dir / "notexec").c_str(), 0644);
    EXPECT_NE(SpawnOpener(dir / "notexec").open("x"), "");
}

// A fake opener that ends with each status xdg-open documents.
TEST(SpawnOpener, ReportsTheOpenersExitStatusWithItsReason) {
    test::TempDir dir;
    const std::string script = dir / "opener.sh";
    test::writeFile(script, "#!/bin/sh\nexit \"$1\"\n");
    chmod(script.c_str(), 0755);
    struct Case {
        const char* status;
        const char* reasonHolds;
    };
    const Case cases[] = {
        {"0", ""},
        {"1", "command line was not understood (1)"},
        {"2", "file does not exist (2)"},
        {"3", "tool it needs is missing (3)"},
        {"4", "opening failed (4)"},
        {"9", "ended with status 9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        const std::string why = SpawnOpener(script).open(c.status);
        if (*c.reasonHolds == '\0') {
            EXPECT_EQ(why, "");
        } else {
            EXPECT_EQ(why.rfind(script, 0), 0u) << why;
            EXPECT_NE(why.find(c.reasonHolds), std::string::npos) << why;
        }
    }
}

TEST(SpawnOpener, ReportsAFailureEvenWhenTheCallerIgnoresChildren) {
    test::TempDir dir;
    const std::string script = dir / "opener.sh";
    test::writeFile(script, "#!/bin/sh\nexit 4\n");
    chmod(script.c_str(), 0755);
    const auto previous = signal(SIGCHLD, SIG_IGN);
    const std::string why = SpawnOpener(script).open("x");
    signal(SIGCHLD, previous);
    EXPECT_NE(why.find("(4)"), std::string::npos) << why;
}

TEST(SpawnOpener, ReportsAnOpenerKilledBySignal) {
    test::TempDir dir;
    const std::string script = dir / "opener.sh";
    test::writeFile(script, "#!/bin/sh\nkill -TERM $$\n");
    chmod(script.c_str(), 0755);
    EXPECT_NE(SpawnOpener(script).open("x").find("signal 15"), std::string::npos);
}

TEST(SpawnOpener, AnOpenerStillRunningAfterTheWaitCountsAsStarted) {
    test::TempDir dir;
    const std::string script = dir / "opener.sh";
    // Runs on like a browser started in the foreground, then fails late.
    test::writeFile(script, "#!/bin/sh\nsleep 1\nprintf done > \"$0.out\"\nexit 4\n");
    chmod(script.c_str(), 0755);
    EXPECT_EQ(SpawnOpener(script, std::chrono::milliseconds(100)).open("x"), "");
    // The caller was released before the opener ended, and the opener runs on.
    EXPECT_EQ(test::readFile(script + ".out"), "");
    std::string out;
    for (int i = 0; i < 300 && out.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = test::readFile(script + ".out");
    }
    EXPECT_EQ(out, "done");
}

}  // namespace
}  // namespace brim::platform
