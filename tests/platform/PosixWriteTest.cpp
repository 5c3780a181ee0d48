// Writes that leave nothing behind, and the bounded wait for the folder lock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "TestSupport.h"
#include "core/Profile.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixIo.h"
#include "platform/posix/PosixKnownFolders.h"

namespace brim::platform {
namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// A process that has ended and been reaped: its pid names no one now.
pid_t deadPid() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// A child that sleeps until killed.
struct SleepingChild {
    pid_t pid = fork();
    SleepingChild() {
        if (pid == 0) {
            pause();
            _exit(0);
        }
    }
    ~SleepingChild() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

TEST(TemporaryNames, OwnerIsReadOnlyFromOurOwnNames) {
    const struct {
        const char* name;
        pid_t owner;
    } cases[] = {
        {".brimmark-1234-0.tmp", 1234},     {".brimmark-7-42.tmp", 7},
        {".brimmark-1234-0.claimed", 0},    {".brimmark-1234.tmp", 0},
        {"brimmark-1234-0.tmp", 0},         {".brimmark--1-0.tmp", 0},
        {".brimmark-1234-0.tmp.url", 0},    {".brimmark-x-0.tmp", 0},
        {".brimmark-99999999999-0.tmp", 0}, {".brimmark-0-0.tmp", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(temporaryOwner(c.name, "tmp"), c.owner) << c.name;
    const std::string made = temporaryName("/f", "tmp");
    EXPECT_EQ(temporaryOwner(made.substr(3), "tmp"), getpid()) << made;
}

// Every way of writing a file sweeps the leftovers of killed writers from the
// folder, and only those.
TEST(StaleTemporaries, DeadWritersLeftoversGoLiveOnesStay) {
    const SleepingChild live;
    enum Way { Replace, Create, Series };
    for (const Way way : {Replace, Create, Series}) {
        test::TempDir dir;
        const std::string dead = ".brimmark-" + std::to_string(deadPid()) + "-0.tmp";
        const std::string alive = ".brimmark-" + std::to_string(live.pid) + "-3.tmp";
        const std::string claimed = ".brimmark-" + std::to_string(deadPid()) + "-1.claimed";
        for (const auto& name : {dead, alive, claimed, std::string(".brimmark-x.tmp")})
            test::writeFile(dir / name, "left");
        PosixFileSystem files;
        if (way == Replace) {
            ASSERT_TRUE(files.replaceFile(dir / "a.url", "new"));
        } else if (way == Create) {
            ASSERT_TRUE(files.createNewFile(dir / "a.url", "new"));
        } else {
            ASSERT_TRUE(files.newFilesIn(dir.path())->create("a.url", "new"));
        }
        EXPECT_EQ(namesIn(dir.path()),
                  (std::set<std::string>{"a.url", alive, claimed, ".brimmark-x.tmp"}))
            << way;
    }
}

// A series of new files in one folder: each whole under its own name, none
// over a file that is there, whoever made it.
TEST(NewFiles, EachIsWrittenWholeAndNoneReplacesAFile) {
    test::TempDir dir;
    test::writeFile(dir / "taken.url", "theirs");
    PosixFileSystem files;
    const auto series = files.newFilesIn(dir.path());
    const struct {
        const char* name;
        std::string bytes;
        IoError want;
    } steps[] = {
        {"a.url", "one", IoError::None},
        {"taken.url", "mine", IoError::Exists},
        {"b.url", std::string(100000, 'b'), IoError::None},
        {"a.url", "again", IoError::Exists},
        {"missing/c.url", "c", IoError::NotFound},
        {"", "d", IoError::Exists},
    };
    for (const auto& s : steps)
        EXPECT_EQ(series->create(s.name, s.bytes).error, s.want) << s.name;
    series->finish();
    series->finish();
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"a.url", "b.url", "taken.url"}));
    EXPECT_EQ(test::readFile(dir / "a.url"), "one");
    EXPECT_EQ(test::readFile(dir / "b.url"), std::string(100000, 'b'));
    EXPECT_EQ(test::readFile(dir / "taken.url"), "theirs");
}

// A writer of a series killed at random moments leaves only whole files
// under their names, and the next series clears what it left.
TEST(NewFiles, KilledWritersLeaveOnlyWholeFiles) {
    test::TempDir dir;
    const auto bytesOf = [](int n) { return std::to_string(n) + std::string(64 * 1024, 'x'); };
    std::mt19937 random(19);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            PosixFileSystem files;
            const auto series = files.newFilesIn(dir.path());
            for (int n = 0;; ++n) {
                static_cast<void>(series->create(
                    std::to_string(round) + "-" + std::to_string(n) + ".url", bytesOf(n)));
            }
        }
        // Every tenth writer is killed only once it has named a file, so that
        // whole files are there to check however slow the disk's flushes are.
        if (round % 10 == 9) {
            const std::string first = dir / (std::to_string(round) + "-0.url");
            for (int waited = 0; waited < 1000 && !test::exists(first); ++waited)
                usleep(10000);
        }
        usleep(std::uniform_int_distribution<>(0, 5000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    PosixFileSystem files;
    files.newFilesIn(dir.path())->finish();
    int whole = 0;
    for (const auto& name : namesIn(dir.path())) {
        ASSERT_FALSE(name.starts_with(".")) << name << " was left behind";
        const int n = std::stoi(name.substr(name.find('-') + 1));
        EXPECT_EQ(test::readFile(dir / name), bytesOf(n)) << name;
        ++whole;
    }
    EXPECT_GT(whole, 0);
}

// A writer killed at random moments leaves the file whole (old or new), and
// whatever it left is gone after the next write.
TEST(StaleTemporaries, KilledWritersLeaveNothingAfterTheNextWrite) {
    test::TempDir dir;
    const std::string file = dir / "a.url";
    const std::string big(256 * 1024, 'x');
    std::set<std::string> versions{"start"};
    test::writeFile(file, "start");
    std::mt19937 random(12);
    int kills = 0;
    for (int round = 0; round < 60; ++round) {
        const std::string version = std::to_string(round) + big;
        versions.insert(version);
        const pid_t child = fork();
        if (child == 0) {
            PosixFileSystem files;
            for (;;)
                static_cast<void>(files.replaceFile(file, version));
        }
        usleep(std::uniform_int_distribution<>(0, 3000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        kills += WIFSIGNALED(status);
        EXPECT_TRUE(versions.count(test::readFile(file))) << "round " << round;
    }
    EXPECT_EQ(kills, 60);
    PosixFileSystem files;
    ASSERT_TRUE(files.replaceFile(file, "last"));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"a.url"});
    EXPECT_EQ(test::readFile(file), "last");
}

// Holds the folder lock of `path` in a child process until the object goes.
class LockHolder {
  public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            PosixFileSystem files;
            const auto held = files.lockForUpdate(path);
            const char c = held.lock ? '1' : '0';
            static_cast<void>(::write(ready[1], &c, 1));
            pause();
            _exit(0);
        }
        ::close(ready[1]);
        char c = 0;
        locked_ = ::read(ready[0], &c, 1) == 1 && c == '1';
        ::close(ready[0]);
    }
    ~LockHolder() { release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool locked() const { return locked_; }
    void release() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

TEST(FolderLock, WaitEndsWithBusyWhileAnotherProcessHoldsIt) {
    test::TempDir dir;
    const std::string file = dir / "a.url";
    LockHolder other(file);
    ASSERT_TRUE(other.locked());
    PosixFileSystem files(std::chrono::milliseconds(200));
    const auto attempt = files.lockForUpdate(file);
    EXPECT_FALSE(attempt.lock);
    EXPECT_EQ(attempt.status.error, IoError::Busy);
    // Another folder is not held up.
    test::makeFolders(dir / "other");
    EXPECT_TRUE(files.lockForUpdate(dir / "other/b.url").lock);

    other.release();
    const auto after = files.lockForUpdate(file);
    EXPECT_TRUE(after.lock);
    EXPECT_TRUE(after.status);
}

TEST(FolderLock, AFolderThatCannotBeLockedIsNotBusy) {
    test::TempDir dir;
    PosixFileSystem files(std::chrono::milliseconds(50));
    const auto attempt = files.lockForUpdate(dir / "missing/a.url");
    EXPECT_FALSE(attempt.lock);
    EXPECT_EQ(attempt.status.error, IoError::NotFound);
}

TEST(FolderLock, ProfileWriteReportsBusyAndChangesNothing) {
    test::TempDir dir;
    const test::TestFolders folders(dir);
    const IconvCodePage cp("CP932");
    PosixFileSystem files(std::chrono::milliseconds(100));
    const core::Profile profile(files, cp, folders);
    const std::string file = dir / "a.url";
    test::writeFile(file, "[InternetShortcut]\r\nURL=http://old/\r\n");
    LockHolder other(file);
    ASSERT_TRUE(other.locked());
    const auto status = profile.WriteShortcutUrl(file, "http://new/");
    EXPECT_FALSE(status);
    EXPECT_EQ(status.io.error, IoError::Busy);
    EXPECT_NE(core::describe(status).find("another program"), std::string::npos);
    EXPECT_EQ(test::readFile(file), "[InternetShortcut]\r\nURL=http://old/\r\n");
    other.release();
    EXPECT_TRUE(profile.WriteShortcutUrl(file, "http://new/"));
}

// Restores the working folder a test changes.
class InFolder {
  public:
    explicit InFolder(const std::string& folder) : before_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(before_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    fs::path before_;
};

TEST(AbsoluteRoots, RelativeFoldersAreTakenFromTheCurrentFolder) {
    test::TempDir dir;
    test::makeFolders(dir / "work");
    const std::string here = fs::canonical(dir / "work").string();
    const InFolder in(dir / "work");
    const struct {
        const char* given;
        std::optional<std::string> expected;
    } cases[] = {
        {"", std::nullopt},
        {"/abs//", "/abs/"},
        {"/", "/"},
        {"fav", here + "/fav/"},
        {"fav/sub/", here + "/fav/sub/"},
        {".", here + "/"},
        {"./", here + "/"},
        {".//fav", here + "/fav/"},
        {"../up", here + "/../up/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(absoluteFolder(c.given), c.expected) << '"' << c.given << '"';

    std::map<std::string, std::string> env{{"HOME", dir / "home"}, {"BRIMMARK_FAVORITES", "fav"}};
    const auto lookup = [&env](const std::string& n) -> std::optional<std::string> {
        const auto it = env.find(n);
        return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    EXPECT_EQ(PosixKnownFolders(lookup, dir / "prog").favorites(), here + "/fav/");
    env["BRIMMARK_FAVORITES"] = "";
    EXPECT_EQ(PosixKnownFolders(lookup, dir / "prog").favorites(), dir / "home/Favorites/");
}

}  // namespace
}  // namespace brim::platform
