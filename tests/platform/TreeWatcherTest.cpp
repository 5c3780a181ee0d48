// The tree's watch against the changes a user or another program makes:
// each reaches the listener, for the right folders, within a bounded wait.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ManualTreeWatcher.h"
#include "TestSupport.h"
#include "Watchdog.h"
#include "platform/Services.h"
#include "platform/WatchBatch.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32TreeWatcher.h"
#else
#include "platform/posix/InotifyTreeWatcher.h"
#endif

namespace brim::test {
namespace {

namespace fs = std::filesystem;
using platform::TreeListener;
using platform::WatchLoss;
using platform::WatchPace;

#ifdef _WIN32
using SystemTreeWatcher = platform::Win32TreeWatcher;
bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#else
using SystemTreeWatcher = platform::InotifyTreeWatcher;
bool underWine() {
    return false;
}
#endif

// Far longer than any report takes, even under Wine on a loaded machine.
constexpr auto kWait = std::chrono::seconds(5);
// As long as a test may take to make its changes while the watch is held.
constexpr auto kHold = std::chrono::seconds(30);

// Keeps every report, for the test's thread to wait on.
class Recorder final : public TreeListener {
  public:
    // The first report keeps the watch's thread until release().
    bool holdFirst = false;

    void foldersChanged(const std::vector<std::string>& folders) override {
        std::unique_lock lock(mutex_);
        batches_.push_back(folders);
        changed_.notify_all();
        // Held, the watch's thread reads no more of the system's changes.
        if (holdFirst && batches_.size() == 1)
            changed_.wait_for(lock, kHold, [&] { return released_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    bool waitForAny() {
        return waitUntil([&] { return !batches_.empty(); });
    }
    void changesLost(WatchLoss why) override {
        std::lock_guard lock(mutex_);
        losses_.push_back(why);
        changed_.notify_all();
    }

    // Waits until every one of `folders` was reported since the last
    // forget(); false when the wait ran out first.
    bool waitForFolders(const std::vector<std::string>& folders) {
        return waitUntil([&] {
            const auto all = seenLocked();
            return std::all_of(folders.begin(), folders.end(),
                               [&](const std::string& f) { return all.count(f) > 0; });
        });
    }
    bool waitForLoss(WatchLoss why) {
        return waitUntil(
            [&] { return std::find(losses_.begin(), losses_.end(), why) != losses_.end(); });
    }

    std::set<std::string> seen() {
        std::lock_guard lock(mutex_);
        return seenLocked();
    }
    std::size_t batchesWith(const std::string& folder) {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(std::count_if(
            batches_.begin(), batches_.end(),
            [&](const auto& b) { return std::find(b.begin(), b.end(), folder) != b.end(); }));
    }
    std::size_t reports() {
        std::lock_guard lock(mutex_);
        return batches_.size() + losses_.size();
    }
    void forget() {
        std::lock_guard lock(mutex_);
        batches_.clear();
        losses_.clear();
    }

  private:
    template <class Pred>
    bool waitUntil(Pred pred) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kWait, pred);
    }
    std::set<std::string> seenLocked() const {
        std::set<std::string> all;
        for (const auto& b : batches_)
            all.insert(b.begin(), b.end());
        return all;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<std::string>> batches_;
    std::vector<WatchLoss> losses_;
    bool released_ = false;
};

// A Favorites tree and a folder beside it, outside the watch.
struct Tree {
    TempDir dir;
    std::string root = dir / native("fav/");

    // The absolute path of `rel` below the root ("" is the root); "../" at
    // its start leaves the tree.
    std::string at(const std::string& rel) const {
        if (rel.rfind("../", 0) == 0) return dir / native(rel.substr(3));
        return root + native(rel);
    }
    void write(const std::string& rel,
               std::string_view bytes = "[InternetShortcut]\r\nURL=x\r\n") const {
        writeFile(at(rel), bytes);
    }
    void mkdir(const std::string& rel) const { fs::create_directories(fsPath(at(rel))); }
    void move(const std::string& from, const std::string& to) const {
        fs::rename(fsPath(at(from)), fsPath(at(to)));
    }
    void remove(const std::string& rel) const { fs::remove_all(fsPath(at(rel))); }
};

// One change as a user or another program makes it: "write F", "rewrite F"
// (the same size), "mkdir D", "remove D", "move FROM TO", "readonly F".
void make(const Tree& t, const std::string& change) {
    std::istringstream words(change);
    std::string verb, a, b;
    words >> verb >> a >> b;
    if (verb == "write") t.write(a);
    if (verb == "rewrite") t.write(a, "[InternetShortcut]\r\nURL=http://b/\r\n");
    if (verb == "mkdir") t.mkdir(a);
    if (verb == "remove") t.remove(a);
    if (verb == "move") t.move(a, b);
    if (verb == "readonly")
        fs::permissions(fsPath(t.at(a)), fs::perms::owner_write, fs::perm_options::remove);
}

struct Step {
    std::vector<std::string> changes;
    std::vector<std::string> expect;  // folders below the root, "" for the root
    std::vector<std::string> never;   // folders that must not be among this step's reports
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    // Why Wine cannot pass the case, where it cannot.
    const char* notUnderWine = nullptr;
};

// Wine's server keeps the names a folder below the root had when its watch
// began: changes in a folder renamed or moved out of the tree are reported
// under its old path.
constexpr const char* kWineKeepsOldNames = "Wine reports a moved folder's changes by its old path";

// Before each case: A/a.url, B/C/c.url, and outside the tree X/Y/y.url.
void plantTree(const Tree& t) {
    t.write("A/a.url", "[InternetShortcut]\r\nURL=http://a/\r\n");
    t.write("B/C/c.url");
    t.write("../X/Y/y.url");
}

// A later step's change inside what the first made shows its watches live
// under their paths now.
const std::vector<Case> kChangeCases = {
    {"file created", {{{"write A/new.url"}, {"A/"}, {"B/", "B/C/"}}}},
    {"rewritten the same size", {{{"rewrite A/a.url"}, {"A/"}, {"B/"}}}},
    {"renamed in its folder", {{{"move A/a.url A/b.url"}, {"A/"}, {"B/", "B/C/"}}}},
    {"moved between folders", {{{"move A/a.url B/C/a.url"}, {"A/", "B/C/"}, {}}}},
    {"folder created with files",
     {{{"write N/x.url", "write N/M/y.url"}, {"", "N/", "N/M/"}, {}},
      {{"write N/M/L/z.url"}, {"N/M/", "N/M/L/"}, {}}}},
    {"folder removed", {{{"remove B"}, {""}, {}}, {{"write A/after.url"}, {"A/"}, {"B/", "B/C/"}}}},
    {"folder replaced by another of the same name",
     {{{"remove B", "write B/z.url", "mkdir B/D"}, {"", "B/", "B/D/"}, {}},
      {{"mkdir B/D/E"}, {"B/D/", "B/D/E/"}, {}}}},
    {"folder renamed",
     {{{"move B B2"}, {"", "B2/", "B2/C/"}, {}},
      {{"mkdir B2/C/E"}, {"B2/C/", "B2/C/E/"}, {"B/C/", "B/C/E/"}}},
     kWineKeepsOldNames},
    {"folder moved in",
     {{{"move ../X X"}, {"", "X/", "X/Y/"}, {}}, {{"mkdir X/Y/Z"}, {"X/Y/", "X/Y/Z/"}, {}}}},
    {"folder moved out",
     {{{"move B ../B"}, {""}, {}},
      {{"write ../B/C/q.url", "write A/after.url"}, {"A/"}, {"B/", "B/C/"}}},
     kWineKeepsOldNames},
    {"names in Japanese", {{{"write 日本語/表示.url"}, {"", "日本語/"}, {"A/"}}}},
    {"made read-only", {{{"readonly A/a.url"}, {"A/"}, {"B/"}}}},
#ifndef _WIN32
    // A POSIX name is bytes: these are CP932, whose trail byte 0x5C is "\".
    {"names in code-page bytes",
     {{{"write \x83\x5c/\x95\x5c.url"}, {"", "\x83\x5c/"}, {}},
      {{"write \x83\x5c/\x93\xfa.url"}, {"\x83\x5c/"}, {}}}},
#endif
};

void runCases(bool underWineToo) {
    for (const Case& c : kChangeCases) {
        if ((c.notUnderWine == nullptr) != underWineToo) continue;
        SCOPED_TRACE(c.name);
        Tree t;
        plantTree(t);
        Recorder seen;
        SystemTreeWatcher watcher;
        auto started = watcher.watch(t.root, seen);
        ASSERT_TRUE(started.watch) << started.status.sysError;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            const Step& step = c.steps[i];
            seen.forget();
            for (const auto& change : step.changes)
                make(t, change);
            std::vector<std::string> expect;
            for (const auto& f : step.expect)
                expect.push_back(t.at(f));
            EXPECT_TRUE(seen.waitForFolders(expect)) << ::testing::PrintToString(seen.seen());
            for (const auto& f : step.never)
                EXPECT_EQ(seen.seen().count(t.at(f)), 0u) << f;
        }
    }
}

TEST(TreeWatcher, ReportsEachChangeForItsFolders) {
    runCases(true);
}

TEST(TreeWatcher, ReportsTheChangesOfFoldersMovedAway) {
    if (underWine()) GTEST_SKIP() << kWineKeepsOldNames;
    runCases(false);
}

// When a batch falls due, at the pace of 150 ms quiet and 500 ms at most:
// changes at the given times (ms), then the time it is due, the next batch's
// changes after that one was handed on, and its due time.
TEST(TreeWatcher, ABatchIsDueWhenQuietOrHeldLongest) {
    const struct {
        const char* name;
        std::vector<int> changes, thenChanges;
        int due, thenDue;
    } cases[] = {
        {"one change", {0}, {1000}, 150, 1150},
        {"a burst", {0, 10, 20, 100}, {400}, 250, 550},
        {"a stream held no longer than the longest",
         {0, 100, 200, 300, 400, 450},
         {520, 600},
         500,
         750},
        {"a stream after a stream", {0, 140, 280, 420}, {500, 640, 780, 920, 1060}, 500, 1000},
    };
    using Clock = platform::WatchBatch::Clock;
    const Clock::time_point t0 = Clock::now();
    const auto at = [&](int ms) { return t0 + std::chrono::milliseconds(ms); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::WatchBatch batch(WatchPace{});
        Recorder seen;
        EXPECT_FALSE(batch.untilDue(at(0)));
        for (const int ms : c.changes)
            batch.add("F" + std::to_string(ms), at(ms));
        EXPECT_EQ(batch.untilDue(at(c.changes.back())),
                  std::chrono::milliseconds(c.due - c.changes.back()));
        batch.deliverIfDue(seen, at(c.due - 1));
        EXPECT_EQ(seen.reports(), 0u);
        batch.deliverIfDue(seen, at(c.due));
        EXPECT_EQ(seen.seen().size(), c.changes.size());
        for (const int ms : c.thenChanges)
            batch.add("G" + std::to_string(ms), at(ms));
        batch.deliverIfDue(seen, at(c.thenDue - 1));
        EXPECT_EQ(seen.reports(), 1u);
        batch.deliverIfDue(seen, at(c.thenDue));
        EXPECT_EQ(seen.reports(), 2u);
    }
    // A loss stands for every folder held with it, and the gravest wins.
    platform::WatchBatch batch(WatchPace{});
    Recorder seen;
    batch.add("F", at(0));
    batch.lose(WatchLoss::Incomplete, at(0));
    batch.lose(WatchLoss::Overflow, at(0));
    batch.deliverIfDue(seen, at(1000));
    EXPECT_TRUE(seen.seen().empty());
    EXPECT_TRUE(seen.waitForLoss(WatchLoss::Incomplete));
    EXPECT_EQ(seen.reports(), 1u);
}

TEST(TreeWatcher, ABurstOfWritesIsAFewReports) {
    Tree t;
    plantTree(t);
    Recorder seen;
    SystemTreeWatcher watcher;
    auto started = watcher.watch(t.root, seen);
    ASSERT_TRUE(started.watch);
    constexpr int kWrites = 200;
    for (int i = 0; i < kWrites; ++i)
        t.write("A/f" + std::to_string(i) + ".url");
    // The folder B's change comes after every one of A's.
    t.write("B/last.url");
    ASSERT_TRUE(seen.waitForFolders({t.at("B/")}));
    const std::size_t batches = seen.batchesWith(t.at("A/"));
    EXPECT_GE(batches, 1u);
    EXPECT_LE(batches, static_cast<std::size_t>(kWrites / 10));
}

TEST(TreeWatcher, StopsAtOnceWhileChangesAreHeld) {
    Tree t;
    plantTree(t);
    Recorder seen;
    SystemTreeWatcher watcher;
    // Held far longer than the bounded wait below.
    const WatchPace slow{std::chrono::seconds(60), std::chrono::seconds(60)};
    auto started = watcher.watch(t.root, seen, slow);
    ASSERT_TRUE(started.watch);
    for (int i = 0; i < 20; ++i)
        t.write("A/f" + std::to_string(i) + ".url");
    auto stopped = std::async(std::launch::async, [&] { started.watch.reset(); });
    if (stopped.wait_for(kWait) != std::future_status::ready)
        reportHang("the watch did not stop while changes were held");
    EXPECT_EQ(seen.reports(), 0u);
}

TEST(TreeWatcher, AFolderThatCannotBeWatchedFails) {
    const struct {
        const char* name;
        std::string rel;
        platform::IoError error;
    } cases[] = {
        {"missing", "missing/", platform::IoError::NotFound},
        {"below a missing folder", "missing/deeper/", platform::IoError::NotFound},
        {"a file", "A/a.url", platform::IoError::NotAFile},
    };
    Tree t;
    plantTree(t);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder seen;
        SystemTreeWatcher watcher;
        auto started = watcher.watch(t.at(c.rel), seen);
        EXPECT_FALSE(started.watch);
        EXPECT_EQ(started.status.error, c.error);
    }
}

TEST(TreeWatcher, TheRootRemovedEndsTheWatch) {
    if (underWine())
        GTEST_SKIP() << "Wine removes a folder only once every handle to it is closed, the "
                        "watch's too, and shows it meanwhile as neither gone nor being removed";
    Tree t;
    plantTree(t);
    Recorder seen;
    SystemTreeWatcher watcher;
    auto started = watcher.watch(t.root, seen);
    ASSERT_TRUE(started.watch);
    t.remove("");
    EXPECT_TRUE(seen.waitForLoss(WatchLoss::Ended));
}

TEST(TreeWatcher, TheSystemsServicesWatch) {
    Tree t;
    plantTree(t);
    Recorder seen;
    const auto services = platform::makePlatformServices();
    ASSERT_TRUE(services->watcher);
    auto started = services->watcher->watch(t.root, seen);
    ASSERT_TRUE(started.watch);
    t.write("A/new.url");
    EXPECT_TRUE(seen.waitForFolders({t.at("A/")}));
}

TEST(TreeWatcher, TheManualWatcherReportsOnlyWhileItsWatchRuns) {
    ManualTreeWatcher manual;
    Recorder seen;
    {
        auto started = manual.watch("root", seen);
        ASSERT_TRUE(started.watch);
        EXPECT_EQ(manual.watchedRoot(), "root");
        EXPECT_TRUE(manual.change({"root/A/"}));
        EXPECT_TRUE(manual.lose(WatchLoss::Overflow));
    }
    EXPECT_FALSE(manual.watchedRoot());
    EXPECT_FALSE(manual.change({"root/B/"}));
    EXPECT_EQ(seen.seen(), std::set<std::string>{"root/A/"});
    EXPECT_EQ(seen.reports(), 2u);
    manual.refuse = platform::IoResult{platform::IoError::Denied, 0};
    EXPECT_FALSE(manual.watch("root", seen).watch);
}

#ifndef _WIN32

TEST(TreeWatcher, AFolderBeyondTheLimitOfWatchesIsALoss) {
    Tree t;
    plantTree(t);
    t.mkdir("D/E/F");
    Recorder seen;
    // The root, and two of the five folders below it.
    platform::InotifyTreeWatcher watcher(3);
    auto started = watcher.watch(t.root, seen);
    ASSERT_TRUE(started.watch);
    EXPECT_TRUE(seen.waitForLoss(WatchLoss::Incomplete));
    // What is watched is still reported.
    seen.forget();
    t.write("top.url");
    EXPECT_TRUE(seen.waitForFolders({t.root}));
}

#endif

TEST(TreeWatcher, ChangesTheSystemDroppedAreALoss) {
#ifdef _WIN32
    // Two records of some 30 bytes each: far more than the watch's 64 KiB.
    const long files = 4000;
#else
    long limit = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    if (limit <= 0 || limit > 100000) GTEST_SKIP() << "the system queues " << limit << " events";
    // Three events each, which no one merges.
    const long files = limit / 3 + 100;
#endif
    Tree t;
    plantTree(t);
    Recorder held;
    held.holdFirst = true;
    SystemTreeWatcher watcher;
    auto started = watcher.watch(t.root, held, WatchPace{std::chrono::milliseconds(1), {}});
    ASSERT_TRUE(started.watch);
    t.write("A/first.url");
    ASSERT_TRUE(held.waitForAny());
    for (long i = 0; i < files; ++i) {
        const fs::path p = fsPath(t.at("A/" + std::to_string(i)));
        std::ofstream{p};
        fs::remove(p);
    }
    held.release();
    EXPECT_TRUE(held.waitForLoss(WatchLoss::Overflow));
}

}  // namespace
}  // namespace brim::test
