#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "TestSupport.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::platform {
namespace {

namespace fs = std::filesystem;
using Step = FreedesktopTrash::Step;

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        names.insert(e.path().filename().string());
    return names;
}

std::string uid() {
    return std::to_string(getuid());
}

const std::regex& deletionDate() {
    static const std::regex date("DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    return date;
}

class TrashTest : public testing::Test {
  protected:
    test::TempDir dir;
    std::string data = dir / "data";
    std::string home = dir / "data/Trash";
    FreedesktopTrash trash{data};

    // Everything a trash folder holds that does not belong there: a
    // .trashinfo without its file, a file without its .trashinfo, anything
    // else in info/ (a journal).
    static std::set<std::string> orphansIn(const std::string& trashFolder) {
        std::set<std::string> files = namesIn(trashFolder + "/files"), odd;
        for (const auto& name : namesIn(trashFolder + "/info")) {
            const std::string suffix = ".trashinfo";
            if (name.size() <= suffix.size() ||
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
                odd.insert("info/" + name);
            } else if (!files.erase(name.substr(0, name.size() - suffix.size()))) {
                odd.insert("info/" + name);
            }
        }
        for (const auto& f : files)
            odd.insert("files/" + f);
        return odd;
    }

    // Our own hidden files left in a folder.
    static std::set<std::string> hiddenIn(const std::string& folder) {
        std::set<std::string> hidden;
        for (const auto& name : namesIn(folder))
            if (name.rfind(".brimmark-", 0) == 0) hidden.insert(name);
        return hidden;
    }

    // Deletes `file` in a child process that is killed at `killed`, if given.
    pid_t deleteInChild(const std::string& file, std::optional<Step> killed) const {
        const pid_t child = fork();
        if (child == 0) {
            FreedesktopTrash t(data);
            if (killed) {
                t.setStepHook([killed](Step s) {
                    if (s == *killed) raise(SIGKILL);
                    return true;
                });
            }
            static_cast<void>(t.moveToTrash(file));
            _exit(0);
        }
        return child;
    }

    // How many of `path` and the files in the trash folders hold `content`.
    static int copiesOf(const std::string& content, const std::string& path,
                        const std::vector<std::string>& trashes) {
        int n = fs::exists(path) && test::readFile(path) == content;
        for (const auto& t : trashes)
            for (const auto& name : namesIn(t + "/files"))
                n += test::readFile(t + "/files/" + name) == content;
        return n;
    }
};

TEST_F(TrashTest, MovesTheFileWithItsOriginalPath) {
    // A home without ~/.local/share: the trash folders are made as needed.
    FreedesktopTrash fresh(dir / "home/.local/share");
    const std::string file = dir / "Favorites/ニュース 1%.url";
    test::writeFile(file, "[InternetShortcut]\r\nURL=http://x/\r\n");
    ASSERT_TRUE(fresh.moveToTrash(file));
    EXPECT_FALSE(fs::exists(file));
    const std::string base = dir / "home/.local/share/Trash/";
    EXPECT_EQ(test::readFile(base + "files/ニュース 1%.url"),
              "[InternetShortcut]\r\nURL=http://x/\r\n");
    const std::string info = test::readFile(base + "info/ニュース 1%.url.trashinfo");
    EXPECT_TRUE(std::regex_match(
        info, std::regex("\\[Trash Info\\]\nPath=" + percentEncodePath(file) +
                         "\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << info;
    EXPECT_EQ(fs::status(base).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_TRUE(orphansIn(base).empty());
}

TEST(PercentEncoding, EncodesWhatAPathMayHoldAndDecodesItBack) {
    const struct {
        std::string plain, encoded;
    } cases[] = {
        {"/a b/ニ%.url", "/a%20b/%E3%83%8B%25.url"},
        {"/x\ny\\z", "/x%0Ay%5Cz"},
        {"/A-z_0.9~", "/A-z_0.9~"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(percentEncodePath(c.plain), c.encoded);
        EXPECT_EQ(percentDecode(c.encoded), c.plain);
    }
    for (const char* bad : {"%", "%4", "%G0", "a%2"})
        EXPECT_EQ(percentDecode(bad), std::nullopt) << bad;
}

TEST_F(TrashTest, TwoFilesOfOneNameBothSurvive) {
    test::writeFile(dir / "A/same.url", "first");
    test::writeFile(dir / "B/same.url", "second");
    test::writeFile(dir / "C/same.url", "third");
    ASSERT_TRUE(trash.moveToTrash(dir / "A/same.url"));
    ASSERT_TRUE(trash.moveToTrash(dir / "B/same.url"));
    ASSERT_TRUE(trash.moveToTrash(dir / "C/same.url"));
    EXPECT_EQ(test::readFile(home + "/files/same.url"), "first");
    EXPECT_EQ(test::readFile(home + "/files/same.2.url"), "second");
    EXPECT_EQ(test::readFile(home + "/files/same.3.url"), "third");
    EXPECT_NE(test::readFile(home + "/info/same.2.url.trashinfo").find(dir / "B/same.url"),
              std::string::npos);
}

TEST_F(TrashTest, MissingFilesAndFoldersAreRefused) {
    EXPECT_EQ(trash.moveToTrash(dir / "missing.url").error, IoError::NotFound);
    EXPECT_EQ(trash.moveToTrash("").error, IoError::NotFound);
    test::makeFolders(dir / "folder");
    EXPECT_EQ(trash.moveToTrash(dir / "folder").error, IoError::NotAFile);
    EXPECT_TRUE(fs::exists(dir / "folder"));
    EXPECT_FALSE(fs::exists(home + "/info/missing.url.trashinfo"));
}

TEST_F(TrashTest, ARelativePathIsRecordedInFull) {
    test::writeFile(dir / "Favorites/a.url", "a");
    const fs::path before = fs::current_path();
    fs::current_path(dir / "Favorites");
    const auto r = trash.moveToTrash("a.url");
    fs::current_path(before);
    ASSERT_TRUE(r);
    const std::string info = test::readFile(home + "/info/a.url.trashinfo");
    EXPECT_NE(info.find("Path=" + percentEncodePath(dir / "Favorites/a.url") + "\n"),
              std::string::npos)
        << info;
}

// A move that fails at any point leaves the file where it was and nothing in
// the trash.
TEST_F(TrashTest, AFailedMoveLeavesTheOriginalAndNoTrashInfo) {
    for (const Step failing : {Step::Journaled, Step::InfoWritten}) {
        const std::string file = dir / "Favorites/a.url";
        test::writeFile(file, "keep me");
        trash.setStepHook([failing](Step s) { return s != failing; });
        EXPECT_FALSE(trash.moveToTrash(file)) << static_cast<int>(failing);
        EXPECT_EQ(test::readFile(file), "keep me");
        EXPECT_TRUE(namesIn(home + "/info").empty());
        EXPECT_TRUE(namesIn(home + "/files").empty());
        EXPECT_TRUE(hiddenIn(dir / "Favorites").empty());
    }
}

// A delete killed at each of its steps: the next trash operation (here of
// another file) leaves no orphan, and the file is in exactly one place.
TEST_F(TrashTest, ADeleteKilledAtAnyStepLeavesNoOrphan) {
    const std::string folder = dir / "Favorites";
    int round = 0;
    for (const Step killed : {Step::Journaled, Step::InfoWritten, Step::Moved}) {
        const std::string file = folder + "/f" + std::to_string(round) + ".url";
        const std::string content = "round " + std::to_string(round++);
        test::writeFile(file, content);
        const pid_t child = deleteInChild(file, killed);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        test::writeFile(folder + "/next.url", "next");
        ASSERT_TRUE(trash.moveToTrash(folder + "/next.url"));
        EXPECT_EQ(orphansIn(home), std::set<std::string>{}) << static_cast<int>(killed);
        EXPECT_EQ(copiesOf(content, file, {home}), 1) << static_cast<int>(killed);
        EXPECT_EQ(fs::exists(file), killed != Step::Moved);
    }
}

// A second file system of our own: a tmpfs mounted inside the test folder.
class OtherFileSystem : public TrashTest {
  protected:
    std::string top = dir / "mnt";
    std::string favorites = top + "/Favorites/A";
    bool mounted = false;

    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "mounting a second file system needs root";
        test::makeFolders(top);
        if (mount("tmpfs", top.c_str(), "tmpfs", 0, "size=64m,mode=0755") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        test::makeFolders(favorites);
        test::makeFolders(home);
    }
    void TearDown() override {
        if (mounted) umount2(top.c_str(), MNT_DETACH);
    }
    // Leaves no trash on that file system that may be used.
    void blockItsTrash() { test::writeFile(top + "/.Trash-" + uid(), "not a folder"); }
};

TEST_F(OtherFileSystem, TheFileLandsInItsFileSystemsOwnTrash) {
    const struct {
        const char* what;
        std::function<void(const std::string& top)> prepare;
        std::string trashUnderTop;  // empty: the home trash
    } cases[] = {
        {"no .Trash", [](const std::string&) {}, "/.Trash-" + uid()},
        {"sticky .Trash",
         [](const std::string& t) {
             test::makeFolders(t + "/.Trash");
             chmod((t + "/.Trash").c_str(), 01777);
         },
         "/.Trash/" + uid()},
        {".Trash not sticky",
         [](const std::string& t) {
             test::makeFolders(t + "/.Trash");
             chmod((t + "/.Trash").c_str(), 0777);
         },
         "/.Trash-" + uid()},
        {".Trash a link to a sticky folder",
         [](const std::string& t) {
             test::makeFolders(t + "/elsewhere");
             chmod((t + "/elsewhere").c_str(), 01777);
             fs::create_directory_symlink(t + "/elsewhere", t + "/.Trash");
         },
         "/.Trash-" + uid()},
        {".Trash-uid a link",
         [](const std::string& t) {
             test::makeFolders(t + "/elsewhere");
             fs::create_directory_symlink(t + "/elsewhere", t + "/.Trash-" + uid());
         },
         ""},
        {".Trash-uid a file",
         [](const std::string& t) { test::writeFile(t + "/.Trash-" + uid(), "x"); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& e : fs::directory_iterator(top))
            fs::remove_all(e.path());
        fs::remove_all(home);
        test::makeFolders(favorites);
        c.prepare(top);
        const std::string file = favorites + "/x y.url";
        test::writeFile(file, c.what);
        ASSERT_TRUE(trash.moveToTrash(file));
        EXPECT_FALSE(fs::exists(file));
        const std::string t = c.trashUnderTop.empty() ? home : top + c.trashUnderTop;
        EXPECT_EQ(test::readFile(t + "/files/x y.url"), c.what);
        // Relative to the top of its own file system, absolute in the home trash.
        const std::string path = c.trashUnderTop.empty() ? file : "Favorites/A/x y.url";
        const std::string info = test::readFile(t + "/info/x y.url.trashinfo");
        EXPECT_EQ(info.substr(0, info.find("DeletionDate")),
                  "[Trash Info]\nPath=" + percentEncodePath(path) + "\n");
        EXPECT_TRUE(std::regex_search(info, deletionDate())) << info;
        EXPECT_EQ(orphansIn(t), std::set<std::string>{});
        EXPECT_EQ(hiddenIn(favorites), std::set<std::string>{});
        struct stat st {};
        ASSERT_EQ(lstat(t.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}

TEST_F(OtherFileSystem, AFailedCopyLeavesTheOriginalAndNoTrashInfo) {
    blockItsTrash();
    for (const Step failing :
         {Step::Journaled, Step::InfoWritten, Step::Claimed, Step::Copied, Step::Compared}) {
        SCOPED_TRACE(static_cast<int>(failing));
        const std::string file = favorites + "/a.url";
        test::writeFile(file, "keep me");
        trash.setStepHook([failing](Step s) { return s != failing; });
        EXPECT_FALSE(trash.moveToTrash(file));
        EXPECT_EQ(test::readFile(file), "keep me");
        EXPECT_EQ(namesIn(home + "/info"), std::set<std::string>{});
        EXPECT_EQ(namesIn(home + "/files"), std::set<std::string>{});
        EXPECT_EQ(hiddenIn(favorites), std::set<std::string>{});
    }
    trash.setStepHook({});
    ASSERT_TRUE(trash.moveToTrash(favorites + "/a.url"));
    EXPECT_EQ(test::readFile(home + "/files/a.url"), "keep me");
    EXPECT_TRUE(std::regex_search(test::readFile(home + "/info/a.url.trashinfo"),
                                  std::regex("Path=" + percentEncodePath(favorites + "/a.url"))));
}

// A save that lands while the copy is made, and then a failure: the new file
// keeps the name, the old one is kept beside it, and the trash holds nothing.
TEST_F(OtherFileSystem, AFailedCopyKeepsBothTheOldFileAndANewSave) {
    blockItsTrash();
    const std::string file = favorites + "/a.url";
    test::writeFile(file, "old");
    trash.setStepHook([&file](Step s) {
        if (s != Step::Copied) return true;
        PosixFileSystem files;
        return !files.replaceFile(file, "new");  // saved; then the move fails
    });
    EXPECT_FALSE(trash.moveToTrash(file));
    EXPECT_EQ(test::readFile(file), "new");
    EXPECT_EQ(test::readFile(favorites + "/a (2).url"), "old");
    EXPECT_EQ(namesIn(home + "/files"), std::set<std::string>{});
    EXPECT_EQ(namesIn(home + "/info"), std::set<std::string>{});
    EXPECT_EQ(hiddenIn(favorites), std::set<std::string>{});
}

// A home trash on a full disk: the copy fails for real, and the original stays.
TEST_F(OtherFileSystem, AFullHomeTrashLeavesTheOriginal) {
    blockItsTrash();
    const std::string small = dir / "small";
    test::makeFolders(small);
    ASSERT_EQ(mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k"), 0) << std::strerror(errno);
    FreedesktopTrash full(small);
    const std::string file = favorites + "/big.url";
    const std::string content(512 * 1024, 'b');
    test::writeFile(file, content);
    const auto r = full.moveToTrash(file);
    EXPECT_EQ(r.error, IoError::NoSpace);
    EXPECT_EQ(test::readFile(file), content);
    EXPECT_EQ(orphansIn(small + "/Trash"), std::set<std::string>{});
    EXPECT_EQ(hiddenIn(favorites), std::set<std::string>{});
    umount2(small.c_str(), MNT_DETACH);
}

// The copy into the home trash while another writer saves the file in a
// loop: whatever it saved last is in the trash or back at the file's path.
TEST_F(OtherFileSystem, TheCopyNeverLosesAConcurrentSave) {
    blockItsTrash();
    std::mt19937 random(7);
    int inTrash = 0, stillThere = 0, failedOnPurpose = 0;
    for (int round = 0; round < 40; ++round) {
        const std::string name = "f" + std::to_string(round) + ".url";
        const std::string file = favorites + "/" + name;
        test::writeFile(file, "start");
        // Every other round the move fails late, after the copy, and must
        // put the file back.
        const bool fail = round % 2 == 1;
        trash.setStepHook([fail](Step s) { return !(fail && s == Step::Compared); });
        std::atomic<bool> stop{false};
        std::atomic<int> last{-1};
        std::thread saver([&] {
            PosixFileSystem files;
            for (int n = 0; !stop; ++n)
                if (files.replaceFile(file, "save " + std::to_string(n) + std::string(4096, 's')))
                    last = n;
        });
        while (last < 0)
            std::this_thread::yield();
        usleep(std::uniform_int_distribution<>(0, 500)(random));
        const auto r = trash.moveToTrash(file);
        stop = true;
        saver.join();
        EXPECT_EQ(static_cast<bool>(r), !fail) << round;
        failedOnPurpose += fail;
        const std::string saved = "save " + std::to_string(last) + std::string(4096, 's');
        const bool atPath = fs::exists(file) && test::readFile(file) == saved;
        const bool trashed =
            fs::exists(home + "/files/" + name) && test::readFile(home + "/files/" + name) == saved;
        EXPECT_TRUE(atPath || trashed) << "round " << round << " lost save " << last;
        inTrash += trashed;
        stillThere += atPath;
        EXPECT_EQ(hiddenIn(favorites), std::set<std::string>{});
    }
    EXPECT_EQ(orphansIn(home), std::set<std::string>{});
    std::cout << "[          ] 40 deletes under a save loop (" << failedOnPurpose
              << " failed on purpose): last save in the trash " << inTrash << ", at its path "
              << stillThere << "\n";
}

// Deletes killed at each step, and at random moments, while copying into the
// home trash: after the next trash operation no orphan is left and the file
// is in exactly one place.
TEST_F(OtherFileSystem, ADeleteKilledAnywhereLosesNothingAndLeavesNoOrphan) {
    blockItsTrash();
    const std::string padding(512 << 10, 'p');
    // The random kills fall within the time one whole delete takes here.
    test::writeFile(favorites + "/timed.url", padding);
    const auto start = std::chrono::steady_clock::now();
    waitpid(deleteInChild(favorites + "/timed.url", std::nullopt), nullptr, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    ASSERT_FALSE(fs::exists(favorites + "/timed.url"));
    fs::remove_all(home);
    std::mt19937 random(99);
    const std::vector<Step> steps = {Step::Journaled, Step::InfoWritten, Step::Claimed,
                                     Step::Copied,    Step::Compared,    Step::Moved};
    int trashed = 0, leftInPlace = 0, rounds = 0, claimedAtKill = 0, journalAtKill = 0;
    for (int round = 0; round < 100; ++round, ++rounds) {
        // The first rounds stop at each step in turn, the rest at random times.
        const bool atStep = round < static_cast<int>(steps.size());
        const std::string file = favorites + "/f" + std::to_string(round) + ".url";
        const std::string content = "round " + std::to_string(round) + padding;
        test::writeFile(file, content);
        const pid_t child = deleteInChild(
            file, atStep ? std::optional(steps[static_cast<std::size_t>(round)]) : std::nullopt);
        if (!atStep) {
            usleep(static_cast<useconds_t>(
                std::uniform_int_distribution<long>(0, static_cast<long>(whole))(random)));
            kill(child, SIGKILL);
        }
        waitpid(child, nullptr, 0);
        claimedAtKill += !hiddenIn(favorites).empty();
        journalAtKill += !hiddenIn(home + "/info").empty();
        test::writeFile(favorites + "/next.url", "next");
        ASSERT_TRUE(trash.moveToTrash(favorites + "/next.url"));
        ASSERT_EQ(orphansIn(home), std::set<std::string>{}) << "round " << round;
        ASSERT_EQ(hiddenIn(favorites), std::set<std::string>{}) << "round " << round;
        ASSERT_EQ(copiesOf(content, file, {home}), 1) << "round " << round;
        (fs::exists(file) ? leftInPlace : trashed)++;
        fs::remove(file);
        fs::remove_all(home);
    }
    std::cout << "[          ] " << rounds << " deletes killed (a whole one takes " << whole
              << " us): " << trashed << " had reached the trash, " << leftInPlace
              << " were left or put back in place; " << journalAtKill
              << " were cut short mid-move, " << claimedAtKill
              << " of them with the file under its hidden name\n";
}

}  // namespace
}  // namespace brim::platform
