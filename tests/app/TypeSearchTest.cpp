// The list follows the keyword box as the user types: what it shows, what it
// leaves alone, and what Enter still does.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <iostream>
#include <mutex>
#include <set>
#include <thread>

#include "GatedFileSystem.h"
#include "ManualTreeWatcher.h"
#include "ThreadScheduler.h"
#include "WindowFixture.h"
#include "app/Commands.h"
#include "core/Numbers.h"
#include "core/RowCache.h"
#include "core/Settings.h"
#ifndef _WIN32
#include "platform/posix/InotifyTreeWatcher.h"
#endif

namespace brim::test {
namespace {

namespace st = core::settings;

class TypeSearchTest : public WindowFixture {
  protected:
    TypeSearchTest() {
        writeShortcut(root + "News.url", "https://news.example/", "morning paper");
        writeShortcut(root + "Weather.url", "https://weather.example/", "rain or sun");
        writeShortcut(native(root + "Links/Mail.url"), "mailto:me@example.com", "post");
        writeShortcut(native(root + "Links/Sport/Score.url"), "https://score.example/", "news");
        writeShortcut(native(root + "B/Paper.url"), "https://paper.example/", "");
    }

    // The names the search of the files finds for `text`, in its order.
    std::vector<std::string> filesFound(const std::string& text) {
        const core::Catalog catalog(fs, profile, root);
        std::vector<std::string> names;
        core::Search(catalog, caseMapper)
            .SearchDir(root, core::SplitKeywords(text), window->searchOptions().options(),
                       [&](core::FavoriteItem&& r) { names.push_back(r.name); });
        return names;
    }
    // The rows the search of the files finds for `text` (every favorite for
    // none), as the list shows them.
    std::vector<app::Row> rowsFound(const std::string& text) {
        const core::Catalog catalog(fs, profile, root);
        std::vector<core::FavoriteItem> items;
        const auto keys = core::SplitKeywords(text);
        if (keys.empty()) {
            catalog.allFavorites(items);
        } else {
            core::Search(catalog, caseMapper)
                .SearchDir(root, keys, window->searchOptions().options(),
                           [&](core::FavoriteItem&& r) { items.push_back(std::move(r)); });
        }
        std::vector<app::Row> rows;
        for (const auto& r : items)
            rows.push_back({r.name, r.folder, r.comment});
        return rows;
    }
    // Each favorite's comment, by the names its file is listed under.
    std::vector<std::string> comments(const std::vector<std::string>& names) {
        std::vector<core::FavoriteItem> rows;
        core::Catalog(fs, profile, root).allFavorites(rows);
        std::vector<std::string> out;
        for (const auto& n : names)
            for (const auto& r : rows)
                if (r.name == n) out.push_back(r.comment);
        return out;
    }
    std::vector<std::string> everyName() {
        std::vector<core::FavoriteItem> rows;
        core::Catalog(fs, profile, root).allFavorites(rows);
        std::vector<std::string> names;
        for (const auto& r : rows)
            names.push_back(r.name);
        return names;
    }
    void runCommand(int id) {
        struct NoDialogs final : app::CommandHost {
            void showDialog(app::Dialog) override {}
            void quit() override {}
        } host;
        ASSERT_TRUE(app::runCommand(id, *window, host));
    }
    void typeKeys(const std::string& text) {
        type(app::Id::Combo1, text);
        window->Combo1_Change();
    }
    std::vector<std::string> otherBoxes() const {
        std::vector<std::string> texts;
        for (const app::Id b :
             {app::Id::Text2, app::Id::Text3, app::Id::Text4, app::Id::Text5, app::Id::Text6})
            texts.push_back(box(b));
        return texts;
    }
};

TEST_F(TypeSearchTest, TypingShowsWhatTheSearchFindsAndRecordsNothing) {
    start();
    ASSERT_TRUE(window->searchesAsTyped());
    const auto boxes = otherBoxes();
    const auto history = view.keywordItems;
    struct Case {
        const char* typed;
        bool whole;  // the whole list again
    };
    const Case cases[] = {
        {"n", false},         {"ne", false},  {"news", false}, {"NEWS paper", false},
        {"\\links\\", false}, {"zzz", false}, {"", true},      {"\"rain or\"", false},
        {"   ", true}};
    int found = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        typeKeys(c.typed);
        const auto expected = c.whole ? everyName() : filesFound(c.typed);
        EXPECT_EQ(view.column(0), expected);
        // Each row whole: the rows of one keystroke are written over those of
        // an earlier one.
        EXPECT_EQ(view.rows, rowsFound(c.typed));
        EXPECT_EQ(view.count,
                  core::CountCaption("ファイル数:", static_cast<std::int64_t>(expected.size())));
        EXPECT_EQ(window->itemCount(), static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(box(app::Id::Combo1), c.typed);
        found += !expected.empty() && expected.size() < everyName().size();
    }
    EXPECT_GT(found, 3);
    // Nothing was taken into the boxes, nothing went into the history.
    EXPECT_EQ(otherBoxes(), boxes);
    EXPECT_EQ(view.keywordItems, history);
    EXPECT_EQ(setting("KeyWords", "W0"), "");
}

TEST_F(TypeSearchTest, EnterStillRecordsTheKeywordAndTakesTheSingleMatch) {
    start();
    const auto boxes = otherBoxes();
    typeKeys("mail");
    ASSERT_EQ(view.column(0), filesFound("mail"));
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(otherBoxes(), boxes) << "typing took the match";
    window->Command8_Click();
    EXPECT_EQ(box(app::Id::Text4), "mailto:me@example.com");
    EXPECT_EQ(setting("KeyWords", "W0"), "mail");
    EXPECT_EQ(view.keywordItems, std::vector<std::string>{"mail"});
}

TEST_F(TypeSearchTest, OffInTheSettingsTypingLeavesTheListAlone) {
    for (const bool byMenu : {false, true}) {
        SCOPED_TRACE(byMenu ? "by the menu" : "in the settings file");
        setting(st::kTypeSearch, st::kSwitchValue, byMenu ? " 11" : " 10");
        start();
        EXPECT_EQ(view.checked[app::Id::typesearch], byMenu);
        if (byMenu) {
            runCommand(+app::Id::typesearch);
            EXPECT_FALSE(st::SwitchFromSetting(setting(st::kTypeSearch, st::kSwitchValue)));
            EXPECT_FALSE(view.checked[app::Id::typesearch]);
        }
        EXPECT_FALSE(window->searchesAsTyped());
        const auto shown = view.rows;
        typeKeys("mail");
        EXPECT_EQ(view.rows, shown);
        window->Command8_Click();
        EXPECT_EQ(view.column(0), filesFound("mail"));
    }
    // And on again: the next keystroke searches.
    runCommand(+app::Id::typesearch);
    EXPECT_TRUE(st::SwitchFromSetting(setting(st::kTypeSearch, st::kSwitchValue)));
    typeKeys("weather");
    EXPECT_EQ(view.column(0), filesFound("weather"));
}

TEST_F(TypeSearchTest, ASavedFavoriteIsFoundByTheNextKeystroke) {
    start();
    typeKeys("fresh");
    ASSERT_TRUE(view.rows.empty());
    type(app::Id::Text3, "Weather");
    type(app::Id::Text4, "https://weather.example/");
    type(app::Id::Text5, "fresh words");
    type(app::Id::Text6, "\\");
    window->Savefiles();
    type(app::Id::Text3, "Novel");
    type(app::Id::Text6, "\\Links\\New\\");
    window->Savefiles();
    typeKeys("fresh");
    EXPECT_EQ(view.column(0), filesFound("fresh"));
    EXPECT_EQ(view.rows.size(), 2u);
}

TEST_F(TypeSearchTest, TheCacheOfTheRowsIsWrittenUnlessTurnedOff) {
    const std::string file = core::RowCache::fileFor(folders.cacheFolder(), root, cp.name());
    for (const char* value : {" 10", " 11"}) {
        SCOPED_TRACE(value);
        std::filesystem::remove(fsPath(file));
        setting(st::kRowCache, st::kSwitchValue, value);
        start();
        window.reset();
        EXPECT_EQ(exists(file), std::string(value) == " 11");
    }
    // A cache that says otherwise than the files is not believed.
    start();
    writeShortcut(root + "News.url", "https://news.example/", "evening paper");
    window->allFile();
    typeKeys("evening");
    EXPECT_EQ(view.column(0), filesFound("evening"));
}

// A cache the window cannot write, on a full disk or refused by the file
// system, stays as it was, with nothing beside it: the window lists what the
// files hold and tells the user nothing of it.
TEST_F(TypeSearchTest, ACacheTheWindowCannotWriteIsKeptAndTheListIsRight) {
    const std::string folder = folders.cacheFolder();
    const std::string file = core::RowCache::fileFor(folder, root, cp.name());
    setting(st::kRowCache, st::kSwitchValue, " 11");
    const auto namesIn = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(fsPath(folder)))
            names.insert(utf8(e.path().filename()));
        return names;
    };
    // Files changed within the last two seconds are not kept: let them age,
    // so that the cache holds entries a wrong list would show.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
#ifndef _WIN32
    std::unique_ptr<TestMount> disk;
#endif
    struct Case {
        const char* what;
        const char* moved;                    // a kept file renamed: the cache must change
        std::function<std::string()> before;  // why the fault cannot be made, or nothing
        std::function<void()> fault, mend;
    };
    const std::vector<Case> cases = {
        {"a write the file system refuses", "News", [] { return std::string(); },
         [&] { fs.unwritable.insert(file); }, [&] { fs.unwritable.clear(); }},
#ifndef _WIN32
        {"a full disk", "Weather",
         [&] {
             disk = std::make_unique<TestMount>(folder, TestMount::SmallDisk);
             return disk->mounted() ? std::string() : disk->why();
         },
         [&] { disk->fill(); }, [&] { disk->free(); }},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(fsPath(folder));
        makeFolders(folder);
        if (const std::string why = c.before(); !why.empty()) {
            std::cout << "[  SKIPPED ] " << c.what << ": " << why << "\n";
            continue;
        }
        start();
        window.reset();
        core::RowCache written(root, cp.name());
        ASSERT_TRUE(written.load(readFile(file)));
        EXPECT_GE(written.fileCount(), 3u);
        const std::string old = readFile(file);
        c.fault();
        const auto names = namesIn();
        std::filesystem::rename(fsPath(root + c.moved + ".url"),
                                fsPath(root + c.moved + "-moved.url"));
        start();
        window->allFile();
        EXPECT_EQ(view.column(0), everyName());
        EXPECT_EQ(comments(view.column(0)), comments(everyName()));
        typeKeys("paper");
        EXPECT_EQ(view.column(0), filesFound("paper"));
        window.reset();
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(namesIn(), names);
        c.mend();
        start();
        window.reset();
        EXPECT_TRUE(written.load(readFile(file)));
        EXPECT_NE(readFile(file), old);
#ifndef _WIN32
        disk.reset();
#endif
    }
}

TEST_F(TypeSearchTest, TheMenuTurnsTheCacheOfTheRowsOffAtOnceAndOnForTheNextFill) {
    const std::string file = core::RowCache::fileFor(folders.cacheFolder(), root, cp.name());
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on at start" : "off at start");
        std::filesystem::remove(fsPath(file));
        setting(st::kRowCache, st::kSwitchValue, on ? " 11" : " 10");
        start();
        EXPECT_EQ(view.checked[app::Id::rowcache], on);
        EXPECT_EQ(window->keepsRowCache(), on);
        ASSERT_EQ(exists(file), on);
        runCommand(+app::Id::rowcache);
        EXPECT_EQ(view.checked[app::Id::rowcache], !on);
        EXPECT_EQ(st::SwitchFromSetting(setting(st::kRowCache, st::kSwitchValue)), !on);
        // Off, the file goes at once; on, it waits for the next whole fill.
        EXPECT_FALSE(exists(file));
        window->allFile();
        EXPECT_EQ(exists(file), !on);
        // Twice round: on again after off writes it again, though nothing changed.
        runCommand(+app::Id::rowcache);
        runCommand(+app::Id::rowcache);
        window->allFile();
        EXPECT_EQ(exists(file), !on);
        typeKeys("paper");
        EXPECT_EQ(view.column(0), filesFound("paper"));
    }
}

TEST_F(TypeSearchTest, ACacheTurnedOffWhileAFillRunsIsNotWrittenByItsEnd) {
    const std::string file = core::RowCache::fileFor(folders.cacheFolder(), root, cp.name());
    GatedFileSystem gated{fs};
    ThreadScheduler scheduler;
    gated.close("Weather.url");
    window = std::make_unique<app::Window>(
        app::Services{gated, cp, folders, caseMapper, opener, pages, trash, shortcuts, browsers},
        view, prompts, &scheduler);
    window->startUp({});
    ASSERT_TRUE(gated.waitUntilHeld());
    runCommand(+app::Id::rowcache);
    gated.open();
    ASSERT_TRUE(scheduler.pumpUntil([&] { return !window->isFilling(); }));
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(view.column(0), everyName());
    window.reset();
}

// The walks' scheduler, counting what comes back to the window's thread.
struct CountingScheduler final : app::Scheduler {
    ThreadScheduler inner;
    std::atomic<int> posted{0};
    void runInBackground(std::function<void()> work) override {
        inner.runInBackground(std::move(work));
    }
    void post(std::function<void()> task) override {
        inner.post(std::move(task));
        ++posted;
    }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        inner.postAfter(delay, std::move(task));
        ++posted;
    }
    unsigned threads() const override { return inner.threads(); }
    // Waits, a while at most, until a search has sent its rows back.
    bool waitForPost(int seen) {
        for (int i = 0; i < 10000 && posted <= seen; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return posted > seen;
    }
};

TEST_F(TypeSearchTest, ANewerKeystrokeDropsWhatAnOlderOneFound) {
    CountingScheduler scheduler;
    window = std::make_unique<app::Window>(
        app::Services{fs, cp, folders, caseMapper, opener, pages, trash, shortcuts, browsers}, view,
        prompts, &scheduler);
    window->startUp({});
    // The whole list's fill has shown its count too: the index may be ready
    // before the fill's last rows reach the window.
    ASSERT_TRUE(scheduler.inner.pumpUntil(
        [&] { return window->searchesAsTyped() && !window->isFilling(); }));
    const auto counts = view.counts.size();
    // The older searches have sent their rows before the window takes any.
    for (const char* older : {"n", "news"}) {
        const int seen = scheduler.posted;
        typeKeys(older);
        ASSERT_TRUE(scheduler.waitForPost(seen)) << older;
    }
    typeKeys("mail");
    const auto expected = filesFound("mail");
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return view.column(0) == expected; }));
    scheduler.inner.pump(std::chrono::milliseconds(50));
    EXPECT_EQ(view.column(0), expected);
    // Only the newest search's count was ever shown.
    EXPECT_EQ(std::vector<std::string>(view.counts.begin() + counts, view.counts.end()),
              std::vector<std::string>{
                  core::CountCaption("ファイル数:", static_cast<std::int64_t>(expected.size()))});
    // What the older searches found, never shown, is where the next one's
    // rows are written: they come whole.
    typeKeys("news");
    const auto news = rowsFound("news");
    ASSERT_FALSE(news.empty());
    EXPECT_TRUE(scheduler.inner.pumpUntil([&] { return view.rows == news; }));
    // Enter after a keystroke: the keystroke's rows never replace its list.
    typeKeys("weather");
    type(app::Id::Combo1, "paper");
    window->Command8_Click();
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return !window->isFilling(); }));
    scheduler.inner.pump(std::chrono::milliseconds(50));
    EXPECT_EQ(view.column(0), filesFound("paper"));
    window.reset();
}

// A watch whose start waits for the test, five seconds at most.
class HeldTreeWatcher final : public platform::TreeWatcher {
  public:
    ManualTreeWatcher inner;
    platform::WatchStart watch(const std::string& root, platform::TreeListener& listener,
                               platform::WatchPace pace) override {
        {
            std::unique_lock lock(mutex_);
            asked_ = true;
            changed_.notify_all();
            changed_.wait_for(lock, std::chrono::seconds(5), [&] { return released_; });
        }
        return inner.watch(root, listener, pace);
    }
    using TreeWatcher::watch;
    bool waitAsked() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return asked_; });
    }
    void release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool asked_ = false, released_ = false;
};

TEST_F(TypeSearchTest, TheWatchStartsAsideAndWhatChangedMeanwhileIsShown) {
    HeldTreeWatcher watcher;
    ThreadScheduler scheduler;
    window = std::make_unique<app::Window>(app::Services{fs, cp, folders, caseMapper, opener, pages,
                                                         trash, shortcuts, browsers, &watcher},
                                           view, prompts, &scheduler);
    // The window goes first, whatever fails.
    const struct Ending {
        HeldTreeWatcher& watcher;
        std::unique_ptr<app::Window>& window;
        ~Ending() {
            watcher.release();
            window.reset();
        }
    } ending{watcher, window};
    window->startUp({});
    ASSERT_TRUE(scheduler.pumpUntil([&] { return !window->isFilling(); }));
    ASSERT_TRUE(watcher.waitAsked());
    // The window has its list and answers while the watch is being set up.
    EXPECT_FALSE(watcher.inner.watchedRoot());
    EXPECT_EQ(view.column(0), everyName());
    typeKeys("late");
    ASSERT_TRUE(scheduler.pumpUntil([&] { return window->itemCount() == 0; }));
    // Changed before the watch saw anything: no report will tell of it.
    writeShortcut(native(root + "Links/Late.url"), "https://late.example/", "late");
    watcher.release();
    ASSERT_TRUE(scheduler.pumpUntil([&] { return view.column(0) == filesFound("late"); }));
    EXPECT_EQ(view.column(0), std::vector<std::string>{"Late.url"});
    EXPECT_EQ(watcher.inner.watchedRoot(), root);
}

#ifndef _WIN32
// The window over an inotify watch of the tree, started.
class WatchedTypeSearchTest : public TypeSearchTest {
  protected:
    WatchedTypeSearchTest() {
        app::Services services{fs,    cp,    folders,   caseMapper, opener,
                               pages, trash, shortcuts, browsers,   &watcher};
        window = std::make_unique<app::Window>(services, view, prompts, &scheduler);
        window->startUp({});
    }
    // The window goes before the watch and the scheduler it uses.
    void TearDown() override { window.reset(); }
    platform::InotifyTreeWatcher watcher;
    CountingScheduler scheduler;
};

TEST_F(WatchedTypeSearchTest, WhatAnotherProgramChangesReachesTheSearchAsTyped) {
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return window->searchesAsTyped(); }));
    typeKeys("fresh");
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return window->itemCount() == 0; }));
    writeShortcut(native(root + "Links/Sport/Late.url"), "https://late.example/", "fresh");
    std::filesystem::remove(fsPath(native(root + "B/Paper.url")));
    writeShortcut(native(root + "New/Fresh.url"), "https://new.example/");
    ASSERT_TRUE(scheduler.inner.pumpUntil(
        [&] { return view.column(0) == filesFound("fresh") && view.rows.size() == 2; }));
    typeKeys("paper");
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return view.column(0) == filesFound("paper"); }));
    window.reset();
}

TEST_F(WatchedTypeSearchTest, TheWholeListFollowsAnotherProgramKeepingItsSortAndSelection) {
    // The whole list, once its fill has ended.
    ASSERT_TRUE(scheduler.inner.pumpUntil([&] { return !window->isFilling(); }));
    window->ListView1_ColumnClick(1);  // by name
    const auto shown = view.column(0);
    const auto weather = std::find(shown.begin(), shown.end(), "Weather.url");
    ASSERT_NE(weather, shown.end());
    window->ListView1_Click(static_cast<int>(weather - shown.begin()));
    ASSERT_EQ(window->list().file(window->currentItem()), native(root + "Weather.url"));
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"added", [&] { writeShortcut(native(root + "Links/Apple.url"), "https://a.example/"); }},
        {"removed", [&] { std::filesystem::remove(fsPath(native(root + "B/Paper.url"))); }},
        {"renamed",
         [&] { std::filesystem::rename(fsPath(root + "News.url"), fsPath(root + "Zebra.url")); }},
        {"a comment changed",
         [&] {
             writeShortcut(native(root + "Links/Mail.url"), "mailto:me@example.com", "letters");
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        c.change();
        // What a new walk of the files shows, sorted by name as the list is.
        auto names = everyName();
        std::sort(names.begin(), names.end());
        ASSERT_TRUE(scheduler.inner.pumpUntil(
            [&] { return view.column(0) == names && view.column(2) == comments(names); }));
        EXPECT_EQ(window->itemCount(), static_cast<int>(names.size()));
        EXPECT_EQ(window->list().file(window->currentItem()), native(root + "Weather.url"));
    }
    window.reset();
}
#endif

}  // namespace
}  // namespace brim::test
