// Fills and searches that run away from the window's thread: rows in walk
// order and in batches, the count as it grows, stopping, a new search
// replacing a running one, what the user types meanwhile, and what waits for
// the whole list.

#include <algorithm>
#include <deque>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "GatedFileSystem.h"
#include "WindowFixture.h"
#include "app/Fill.h"
#include "app/FillControl.h"

namespace brim::test {
namespace {

using app::Id;
using Rows = std::vector<app::Row>;
using Strings = std::vector<std::string>;

// Runs the walks and the posted tasks only when the test says so.
class ManualScheduler final : public app::Scheduler {
  public:
    void runInBackground(std::function<void()> work) override {
        const std::lock_guard lock(mutex_);
        walks_.push_back(std::move(work));
    }
    void post(std::function<void()> task) override {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    void postAfter(std::chrono::milliseconds, std::function<void()> task) override {
        post(std::move(task));
    }
    // One thread: a walk held at a gate has delivered every folder before it.
    unsigned threads() const override { return 1; }

    std::size_t walks() const {
        const std::lock_guard lock(mutex_);
        return walks_.size();
    }
    // Runs the oldest walk waiting, on the calling thread.
    void runWalk() { take(walks_)(); }
    // Runs what has been posted, and what that posts, until nothing is left.
    void runPosted() {
        while (auto task = take(posted_))
            task();
    }

  private:
    std::function<void()> take(std::deque<std::function<void()>>& queue) {
        const std::lock_guard lock(mutex_);
        if (queue.empty()) return {};
        auto task = std::move(queue.front());
        queue.pop_front();
        return task;
    }
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> walks_;
    std::deque<std::function<void()>> posted_;
};

class FillTest : public WindowFixture {
  protected:
    GatedFileSystem gated{fs};
    ManualScheduler scheduler;
    std::thread walking;

    // The walks are held at reads, which a cache that vouches for a file spares.
    FillTest() { setting("rowcache", "value", " 10"); }

    ~FillTest() override {
        gated.open();
        if (walking.joinable()) walking.join();
        // Stopped walks still queued end at once; the window waits for them.
        while (scheduler.walks() > 0)
            scheduler.runWalk();
        window.reset();
    }

    // Folders A to E under the Favorites folder, each with two files
    // (n1.url, n2.url in E … A order of the walk), and one file at the top.
    void SetUp() override {
        writeShortcut(root + "top.url", "http://top/", "first");
        for (const char* f : {"A", "B", "C", "D", "E"}) {
            for (const char* n : {"1", "2"}) {
                const std::string name = std::string(f) + n;
                writeShortcut(root + f + "/" + name + ".url", "http://" + name + "/",
                              "comment " + name);
            }
        }
    }
    // What the window shows for the same tree when everything runs at once.
    Rows whole(const std::function<void(app::Window&)>& command = {}) {
        app::Window& w = start();
        if (command) command(w);
        Rows rows = view.rows;
        window.reset();
        return rows;
    }
    // A window whose fills wait for the test; the first fill is queued.
    app::Window& startAsync() {
        window.reset();
        view = FakeView{};
        window = std::make_unique<app::Window>(app::Services{gated, cp, folders, caseMapper, opener,
                                                             pages, trash, shortcuts, browsers},
                                               view, prompts, &scheduler);
        window->startUp({});
        return *window;
    }
    // Runs the next walk on a thread of its own until it reaches the gate.
    void walkToGate(const std::string& suffix) {
        gated.close(suffix);
        walking = std::thread([this] { scheduler.runWalk(); });
        EXPECT_TRUE(gated.waitUntilHeld()) << "no read reached the gate at " << suffix;
    }
    void finishWalk() {
        gated.open();
        walking.join();
    }
    static Rows first(const Rows& rows, std::size_t n) {
        return Rows(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n));
    }
};

TEST_F(FillTest, RowsComeInBatchesInWalkOrderWithTheCountAndTheBusyPointer) {
    const Rows all = whole();
    ASSERT_EQ(all.size(), 11u);
    app::Window& w = startAsync();
    EXPECT_TRUE(view.shown);  // shown before a single file was read
    EXPECT_TRUE(w.isFilling());
    EXPECT_TRUE(view.busy);
    EXPECT_EQ(view.headers, (Strings{"Name", "Folder", "Comment"}));
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.count, "ファイル数: 0");

    // The walk goes E, D, C, …: held in C, it has delivered the top, E and D.
    walkToGate("/C/C1.url");
    scheduler.runPosted();
    EXPECT_EQ(view.rows, first(all, 5));
    EXPECT_EQ(w.itemCount(), 5);
    EXPECT_EQ(view.count, "ファイル数: 5");
    EXPECT_TRUE(view.busy);

    finishWalk();
    scheduler.runPosted();
    EXPECT_EQ(view.rows, all);
    EXPECT_EQ(view.batches, (std::vector<std::size_t>{5, 6}));
    EXPECT_EQ(view.counts,
              (Strings{"サイト数: 0", "ファイル数: 0", "ファイル数: 5", "ファイル数: 11"}));
    EXPECT_EQ(w.itemCount(), 11);
    EXPECT_FALSE(w.isFilling());
    EXPECT_FALSE(view.busy);
}

TEST_F(FillTest, EveryFillRunsAwayFromTheWindowAndEndsAsTheWholeOne) {
    const struct {
        const char* name;
        std::function<void(app::Window&)> command;
        const char* count;
    } cases[] = {
        {"search", [this](app::Window&) { search("comment"); }, "ファイル数: 10"},
        {"same",
         [this](app::Window& w) {
             type(Id::Text4, "http://B");
             w.Command2_Click();
         },
         "ファイル数: 2"},
        {"folders", [](app::Window& w) { w.Command1_Click(); }, "フォルダ数: 6"},
        {"everything", [this](app::Window&) { search(""); }, "ファイル数: 11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Rows expected = whole(c.command);
        app::Window& w = startAsync();
        scheduler.runWalk();
        scheduler.runPosted();
        view.rows.clear();
        c.command(w);
        EXPECT_TRUE(view.rows.empty());
        EXPECT_TRUE(view.busy);
        ASSERT_EQ(scheduler.walks(), 1u);
        scheduler.runWalk();
        scheduler.runPosted();
        EXPECT_EQ(view.rows, expected);
        EXPECT_EQ(view.count, c.count);
        EXPECT_FALSE(view.busy);
    }
}

TEST_F(FillTest, ANewSearchStopsTheRunningOneAndItsRowsNeverMixIn) {
    const Rows found = whole([this](app::Window&) { search("A1"); });
    ASSERT_EQ(found.size(), 1u);
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");  // the start-up fill, held with rows on their way
    search("A1");
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.count, "ファイル数: 0");
    scheduler.runPosted();  // the old fill's batch comes too late
    EXPECT_TRUE(view.rows.empty());
    finishWalk();  // the old walk stops at its next file
    scheduler.runWalk();
    scheduler.runPosted();
    EXPECT_EQ(view.rows, found);
    EXPECT_EQ(w.itemCount(), 1);
    EXPECT_EQ(view.count, "ファイル数: 1");
    EXPECT_EQ(gated.readsOf("/C/C2.url"), 1u);  // the stopped walk read nothing after the gate
}

TEST_F(FillTest, EscKeepsTheRowsFoundSoFarWithoutWaitingForTheWalk) {
    const Rows all = whole();
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");
    w.stopFill();  // the walk is still held in its read
    EXPECT_FALSE(w.isFilling());
    EXPECT_FALSE(view.busy);
    EXPECT_EQ(view.rows, first(all, 5));
    EXPECT_EQ(w.itemCount(), 5);
    EXPECT_EQ(view.count, "ファイル数: 5");
    finishWalk();
    scheduler.runPosted();
    EXPECT_EQ(view.rows, first(all, 5));
    w.stopFill();  // nothing runs: nothing changes
    EXPECT_EQ(w.itemCount(), 5);
}

TEST_F(FillTest, WhatTheUserTypesDuringASearchIsNeverOverwritten) {
    const struct {
        const char* name;
        Id box;
        const char* typed;  // nullptr: nothing typed
    } cases[] = {
        {"nothing typed: the one match is taken over", Id::Text5, nullptr},
        {"a comment typed", Id::Text5, "my own words"},
        {"the next keyword typed", Id::Combo1, "next"},
        {"a name typed", Id::Text3, "new name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app::Window& w = startAsync();
        scheduler.runWalk();
        scheduler.runPosted();
        view.focused.reset();
        search("B2");
        walkToGate("/B/B1.url");
        if (c.typed) type(c.box, c.typed);
        finishWalk();
        scheduler.runPosted();
        EXPECT_EQ(w.itemCount(), 1);
        if (c.typed) {
            EXPECT_EQ(box(c.box), c.typed);
            EXPECT_FALSE(view.focused.has_value());  // the focus stays where the user types
            EXPECT_NE(box(Id::Text4), "http://B2/");
        } else {
            EXPECT_EQ(box(Id::Text3), "B2");
            EXPECT_EQ(box(Id::Text5), "comment B2");
            EXPECT_EQ(view.focused, app::Id::Command4);
        }
    }
}

TEST_F(FillTest, ExportsWaitForTheWholeList) {
    makeFolders(folders.desktop());
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");
    prompts.inputAnswers = {"all"};
    // The export waits for the walk, which goes on once the gate opens.
    std::thread release([this] { gated.open(); });
    w.toCSV_Click();
    release.join();
    walking.join();
    EXPECT_FALSE(w.isFilling());
    EXPECT_EQ(w.itemCount(), 11);
    const std::string csv = readFile(folders.desktop() + "all.csv");
    for (const char* name : {"top", "E1", "C1", "A2"}) {
        EXPECT_NE(csv.find(name), std::string::npos) << name;
    }
}

TEST_F(FillTest, AWalkThatFailsEndsTheFillWithItsRowsAndSaysWhyOnce) {
    const struct {
        const char* name;
        std::function<void()> fail;
        const char* reason;
    } cases[] = {
        {"out of memory", [] { throw std::bad_alloc(); },
         "一覧を作れませんでした: メモリが足りません。"},
        {"a system error",
         [] { throw std::system_error(std::make_error_code(std::errc::too_many_files_open)); },
         "一覧を作れませんでした: エラーが発生しました（"},
        {"anything else", [] { throw std::runtime_error("odd"); },
         "一覧を作れませんでした: 予期しないエラーが発生しました。"},
    };
    const Rows all = whole();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The walk goes E, D, C, …: the top, E and D are in before C fails.
        fs.beforeOpenFolder = [&](const std::string& folder) {
            if (folder.ends_with("C/") || folder.ends_with("C\\")) c.fail();
        };
        prompts.shown.clear();
        app::Window& w = startAsync();
        scheduler.runWalk();
        scheduler.runPosted();
        EXPECT_FALSE(w.isFilling());
        EXPECT_FALSE(view.busy);
        EXPECT_EQ(view.rows, first(all, 5));
        EXPECT_EQ(view.count, "ファイル数: 5");
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(lastShown().starts_with(c.reason)) << lastShown();
        fs.beforeOpenFolder = nullptr;
        search("");  // the next fill runs whole again
        scheduler.runWalk();
        scheduler.runPosted();
        EXPECT_EQ(view.rows, all);
        EXPECT_EQ(prompts.shown.size(), 1u) << lastShown();
    }
}

// Refuses to start any walk, as a system out of threads does.
class RefusingScheduler final : public app::Scheduler {
  public:
    void runInBackground(std::function<void()>) override {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    void post(std::function<void()> task) override { posted.push_back(std::move(task)); }
    void postAfter(std::chrono::milliseconds, std::function<void()> task) override {
        post(std::move(task));
    }
    unsigned threads() const override { return 1; }
    std::vector<std::function<void()>> posted;
};

TEST_F(FillTest, AFillWhoseWalkCannotStartEndsAndSaysWhy) {
    RefusingScheduler refusing;
    {
        app::Window w(
            app::Services{fs, cp, folders, caseMapper, opener, pages, trash, shortcuts, browsers},
            view, prompts, &refusing);
        w.startUp({});
        while (!refusing.posted.empty()) {
            auto tasks = std::move(refusing.posted);
            refusing.posted.clear();
            for (auto& task : tasks)
                task();
        }
        EXPECT_FALSE(w.isFilling());
        EXPECT_FALSE(view.busy);
        EXPECT_TRUE(view.rows.empty());
        EXPECT_TRUE(lastShown().starts_with("一覧を作れませんでした: ")) << lastShown();
    }  // and the window goes without waiting for a walk that never began
}

TEST_F(FillTest, ASearchThatFailsTakesNoMatchIntoTheBoxes) {
    app::Window& w = startAsync();
    scheduler.runWalk();
    scheduler.runPosted();
    // B2 is found before A fails: the one match so far may not be the only one.
    fs.beforeOpenFolder = [](const std::string& folder) {
        if (folder.ends_with("A/") || folder.ends_with("A\\")) throw std::bad_alloc();
    };
    search("B2");
    scheduler.runWalk();
    scheduler.runPosted();
    EXPECT_EQ(w.itemCount(), 1);
    EXPECT_TRUE(box(Id::Text3).empty()) << box(Id::Text3);
    EXPECT_TRUE(lastShown().starts_with("一覧を作れませんでした: ")) << lastShown();
}

TEST_F(FillTest, ExportsWaitingForAFillThatFailsGoOnWithItsRows) {
    makeFolders(folders.desktop());
    fs.beforeOpenFolder = [](const std::string& folder) {
        if (folder.ends_with("B/") || folder.ends_with("B\\")) throw std::bad_alloc();
    };
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");
    prompts.inputAnswers = {"some"};
    std::thread release([this] { gated.open(); });
    w.toCSV_Click();  // returns once the walk has failed at B
    release.join();
    walking.join();
    EXPECT_FALSE(w.isFilling());
    EXPECT_EQ(w.itemCount(), 7);
    const std::string csv = readFile(folders.desktop() + "some.csv");
    EXPECT_NE(csv.find("C2"), std::string::npos);
    EXPECT_EQ(csv.find("B1"), std::string::npos);
    EXPECT_NE(std::find_if(
                  prompts.shown.begin(), prompts.shown.end(),
                  [](const std::string& m) { return m.starts_with("一覧を作れませんでした: "); }),
              prompts.shown.end());
}

TEST_F(FillTest, SortingDuringAFillPlacesLaterRowsAsAWholeSortWould) {
    const Rows sorted = whole([](app::Window& w) { w.ListView1_ColumnClick(3); });
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");
    scheduler.runPosted();
    w.ListView1_Click(2);        // "E2.url"
    w.ListView1_ColumnClick(3);  // "Comment", descending, with half the rows there
    finishWalk();
    scheduler.runPosted();
    EXPECT_EQ(view.rows, sorted);
    EXPECT_EQ(view.sortIndicator, (std::pair<int, bool>{2, true}));
    // The selected row stays selected wherever the later rows put it.
    ASSERT_GE(w.currentItem(), 0);
    EXPECT_EQ(view.rows[static_cast<std::size_t>(w.currentItem())][0], "E2.url");
    EXPECT_EQ(view.selected, w.currentItem());
}

#ifndef _WIN32
// Names in code-page bytes or in no encoding exist only where names are bytes;
// Windows keeps every name in UTF-16.
TEST_F(FillTest, RowsKeepTheirFilesAndDecodedNamesAreToldOnceTheWholeListHasCome) {
    // Two names in no encoding are shown alike: only the row's file tells them apart.
    writeShortcut(root + "odd\xFE.url", "http://odd-fe/");
    writeShortcut(root + "odd\xFF.url", "http://odd-ff/");
    writeShortcut(root + cp932("表示") + ".url", "http://hyoji/");
    app::Window& w = startAsync();
    walkToGate("/C/C1.url");
    scheduler.runPosted();
    EXPECT_EQ(w.itemCount(), 8);
    EXPECT_TRUE(prompts.shown.empty()) << lastShown();  // not while rows still come
    w.ListView1_ColumnClick(1);                         // sorted while the rest comes
    finishWalk();
    scheduler.runPosted();
    EXPECT_EQ(w.itemCount(), 14);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(lastShown().find("CP932 の名前 1 件"), std::string::npos) << lastShown();
    EXPECT_NE(lastShown().find("名前 2 件は「\uFFFD」"), std::string::npos) << lastShown();
    std::vector<std::string> odd;
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        const std::string name = view.rows[i][0].str();
        if (name != "odd\uFFFD.url" && name != "表示.url") continue;
        w.ListView1_Click(static_cast<int>(i));
        if (name == "表示.url") {
            EXPECT_EQ(box(Id::Text4), "http://hyoji/");
        } else {
            odd.push_back(box(Id::Text4));
        }
    }
    std::sort(odd.begin(), odd.end());
    EXPECT_EQ(odd, (Strings{"http://odd-fe/", "http://odd-ff/"}));
}

TEST_F(FillTest, AStoppedFillSaysNothingOfTheNamesItShowed) {
    writeShortcut(root + cp932("表示") + ".url", "http://hyoji/");
    for (const bool walkEnded : {false, true}) {
        SCOPED_TRACE(walkEnded ? "stopped after the walk ended" : "stopped during the walk");
        app::Window& w = startAsync();
        walkToGate("/C/C1.url");
        if (walkEnded) finishWalk();  // its last rows not yet taken
        w.stopFill();
        if (!walkEnded) finishWalk();
        scheduler.runPosted();
        EXPECT_FALSE(w.isFilling());
        EXPECT_TRUE(prompts.shown.empty()) << lastShown();
    }
}
#endif

// A sink's calls, for the fill that was started with it.
struct SinkLog {
    Strings rows;
    int ends = 0;
    bool stopped = false;
    app::FillControl::Sink sink() {
        return {[this](app::FillJob::Batch& b) {
                    for (const auto& r : b.rows)
                        rows.push_back(r[0].str());
                },
                [this](const app::FillJob::Batch&, bool s) {
                    ++ends;
                    stopped = s;
                }};
    }
};

// A walk that adds its rows one by one, from the walk's side.
app::FillControl::Walk adding(Strings rows) {
    return [rows](app::FillJob& job, const core::WalkControl& control) {
        for (const auto& r : rows)
            if (!control.stopped()) job.add({r, {}, {}});
    };
}

TEST(FillControl, EachSinkGetsOnlyItsOwnFillsRows) {
    const struct {
        const char* what;
        void (*act)(app::FillControl&, SinkLog& second);  // after the first walk has run
        Strings first, second;
        int firstEnds;
        bool running;
    } cases[] = {
        {"finished", [](app::FillControl& f, SinkLog&) { f.finish(); }, {"a", "b"}, {}, 1, false},
        // Esc: what has come stays, and the end is told as stopped.
        {"stopped",
         [](app::FillControl& f, SinkLog&) { EXPECT_FALSE(f.stop()); },
         {"a", "b"},
         {},
         1,
         false},
        {"cancelled",
         [](app::FillControl& f, SinkLog&) { EXPECT_TRUE(f.cancel()); },
         {},
         {},
         0,
         false},
        {"replaced",
         [](app::FillControl& f, SinkLog& second) { f.start(adding({"c"}), second.sink()); },
         {},
         {},
         0,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ManualScheduler scheduler;
        SinkLog first, second;
        {
            app::FillControl fills(scheduler);
            fills.start(adding({"a", "b"}), first.sink());
            EXPECT_TRUE(fills.running());
            scheduler.runWalk();  // the rows wait on the window's thread
            c.act(fills, second);
            scheduler.runPosted();
            EXPECT_EQ(fills.running(), c.running);
            EXPECT_EQ(first.rows, c.first);
            EXPECT_EQ(first.ends, c.firstEnds);
            if (c.firstEnds) {
                EXPECT_EQ(first.stopped, std::string(c.what) == "stopped");
            }
            EXPECT_EQ(second.rows, c.second);
            // A walk still waiting runs before the control goes: what it
            // posts finds no control.
            if (scheduler.walks()) scheduler.runWalk();
        }
        scheduler.runPosted();  // tasks posted for a control that is gone do nothing
        EXPECT_EQ(second.rows, c.second);
        EXPECT_EQ(second.ends, 0);
    }
}

TEST(ResultListAppend, BatchesEndAsOneStableSortOfTheWhole) {
    SystemCaseMapper mapper;
    const Rows rows{{"b", "2", ""}, {"A", "1", ""}, {"a", "3", ""}, {"c", "1", ""},
                    {"B", "9", ""}, {"é", "1", ""}, {"", "0", ""},  {"a", "0", ""}};
    // Each row's file names its place in `rows`, so that it can be seen to stay with it.
    std::vector<app::Cell> files;
    for (std::size_t i = 0; i < rows.size(); ++i)
        files.push_back(std::to_string(i));
    const auto filesStayWithTheirRows = [&](const app::ResultList& list) {
        for (int r = 0; r < list.size(); ++r)
            EXPECT_EQ(*list.row(r), rows[std::stoul(list.file(r).str())]) << r;
    };
    for (const int column : {0, 1, 2}) {
        for (const bool descending : {false, true}) {
            for (const std::size_t batch : {1u, 3u, 8u}) {
                SCOPED_TRACE(std::to_string(column) + " " + std::to_string(descending) + " " +
                             std::to_string(batch));
                app::ResultList whole(mapper), inBatches(mapper);
                whole.sortBy(column, descending);
                whole.fill({"Name", "Folder", "Comment"}, rows, files);
                inBatches.sortBy(column, descending);
                inBatches.fill({"Name", "Folder", "Comment"}, {});
                for (std::size_t i = 0; i < rows.size(); i += batch) {
                    const auto from = static_cast<long>(i);
                    const auto end = static_cast<long>(std::min(rows.size(), i + batch));
                    EXPECT_TRUE(inBatches.append(
                        Rows(rows.begin() + from, rows.begin() + end),
                        std::vector<app::Cell>(files.begin() + from, files.begin() + end)));
                }
                EXPECT_EQ(inBatches.rows(), whole.rows());
                EXPECT_EQ(inBatches.files(), whole.files());
                filesStayWithTheirRows(inBatches);
                // Sorted again by another column, the files still go with their rows.
                inBatches.sortBy((column + 1) % 3, !descending);
                filesStayWithTheirRows(inBatches);
            }
        }
    }
    app::ResultList unsorted(mapper);
    unsorted.fill({"Name"}, {});
    EXPECT_FALSE(unsorted.append(rows, files));
    EXPECT_EQ(unsorted.rows(), rows);
    EXPECT_EQ(unsorted.files(), files);
    // Rows that are no files have none.
    unsorted.fill({"Folder"}, {{"\\", "", ""}});
    EXPECT_EQ(unsorted.file(0), "");
    EXPECT_EQ(unsorted.file(1), "");
}

}  // namespace
}  // namespace brim::test
