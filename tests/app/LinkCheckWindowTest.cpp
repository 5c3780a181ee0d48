// The window's link check against servers of the test's own on the loopback:
// the "Link" column, stopping, the gone ones to the trash, the moved ones
// updated in place; and the duplicates, grouped, one of a group kept.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "LinkServer.h"
#include "ThreadScheduler.h"
#include "WindowFixture.h"
#include "app/LinkCheckDialog.h"
#include "core/LinkState.h"
#include "core/Settings.h"
#ifndef _WIN32
#include "platform/posix/InotifyTreeWatcher.h"
#endif

namespace brim::test {
namespace {

using namespace std::chrono_literals;

struct RecordingLinkView final : app::LinkCheckView {
    std::string target, counts;
    std::size_t done = 0, total = 0;
    bool running = false;
    int progressCalls = 0;
    void setTarget(const std::string& text) override { target = text; }
    void setProgress(std::size_t d, std::size_t t) override {
        done = d;
        total = t;
        ++progressCalls;
    }
    void setCounts(const std::string& text) override { counts = text; }
    void setRunning(bool r) override { running = r; }
    bool only = false;
    std::string days;
    bool onlyUnchecked() const override { return only; }
    std::string daysText() const override { return days; }
    void setChoice(bool o, const std::string& d) override {
        only = o;
        days = d;
    }
};

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class LinkCheckWindow : public WindowFixture {
  protected:
    std::unique_ptr<LinkServer> server;
    RecordingLinkView links;

    ~LinkCheckWindow() override {
        // Its checks post to the schedulers the tests keep.
        window.reset();
    }
    std::string url(const std::string& path) const { return server->base() + path; }
    // The "Link" cell of the row of `name`; "?" for no such row.
    std::string linkOf(const std::string& name) const {
        for (const auto& r : view.rows)
            if (r[0] == name) return r.size() > 3 ? r[3].str() : "no column";
        return "?";
    }
    std::string stateFile() const { return core::LinkState::fileIn(folders.stateFolder()); }
    core::LinkState kept() { return core::LinkState::read(fs, stateFile()); }
    // The state file holding only `state`.
    void keep(const core::LinkState& state) {
        std::filesystem::remove(stateFile());
        ASSERT_TRUE(state.save(fs, stateFile()));
    }
    // The paths the server was asked for with HEAD, sorted.
    std::vector<std::string> pathsHit() const {
        std::vector<std::string> paths;
        for (const auto& h : server->hits())
            if (h.method == "HEAD") paths.push_back(h.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    int rowOf(const std::string& name) const {
        for (std::size_t i = 0; i < view.rows.size(); ++i)
            if (view.rows[i][0] == name) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(LinkCheckWindow, EachOutcomeBecomesTheLinkColumnAndIsKept) {
    server = std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{
        {"/ok", status(200)},
        {"/old", redirect("/new", 301)},
        {"/new", status(200)},
        {"/gone", status(410)},
        {"/locked", status(403)},
        {"/head-refused", byMethod(405, 200)},
    });
    const struct {
        const char* name;
        std::string url;
        const char* word;
    } cases[] = {
        {"ok.url", url("/ok"), "正常"},
        {"moved.url", url("/old"), "移動"},
        {"gone.url", url("/gone"), "リンク切れ"},
        {"missing.url", url("/nothing-here"), "リンク切れ"},
        {"locked.url", url("/locked"), "エラー"},
        {"headless.url", url("/head-refused"), "正常"},
        {"mail.url", "mailto:someone@example.invalid", "対象外"},
    };
    std::map<std::string, std::string> bytes;
    for (const auto& c : cases) {
        writeShortcut(root + c.name, c.url);
        bytes[c.name] = readFile(root + c.name);
    }
    app::Window& w = start();
    w.allFile();
    ASSERT_EQ(view.rows.size(), std::size(cases));
    EXPECT_EQ(view.headers.size(), 3u);

    EXPECT_EQ(w.startLinkCheck(links), std::size(cases));
    EXPECT_FALSE(links.running);
    EXPECT_EQ(links.done, std::size(cases));
    EXPECT_EQ(view.headers.back(), "Link");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(linkOf(c.name), c.word);
        // The check never writes a favorite.
        EXPECT_EQ(readFile(root + c.name), bytes[c.name]);
    }
    EXPECT_EQ(links.counts, "正常 2 件　移動 1 件　リンク切れ 2 件　エラー 1 件　対象外 1 件");

    const auto kept = core::LinkState::read(fs, core::LinkState::fileIn(folders.stateFolder()));
    EXPECT_EQ(kept.links.size(), std::size(cases));
    EXPECT_EQ(kept.links.at(url("/old")).result.location, url("/new"));

    // The column sorts as the others do, and a new fill keeps it.
    w.ListView1_ColumnClick(4);
    EXPECT_TRUE(std::is_sorted(view.rows.begin(), view.rows.end(),
                               [](const app::Row& a, const app::Row& b) { return a[3] < b[3]; }));
    search("gone");
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.headers.back(), "Link");
    EXPECT_EQ(linkOf("gone.url"), "リンク切れ");
}

// A state file the window cannot write, on a full disk or refused by the
// file system: the column still shows every outcome, and the last state
// stays as it was, with nothing beside it.
TEST_F(LinkCheckWindow, AStateFileThatCannotBeWrittenIsKeptAndTheColumnShows) {
    server = std::make_unique<LinkServer>(
        std::map<std::string, LinkServer::Page>{{"/ok", status(200)}, {"/gone", status(404)}});
    writeShortcut(root + "alive.url", url("/ok"));
    writeShortcut(root + "dead.url", url("/gone"));
    const std::string folder = folders.stateFolder();
    const std::string file = core::LinkState::fileIn(folder);
    const auto namesIn = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(fsPath(folder)))
            names.insert(utf8(e.path().filename()));
        return names;
    };
#ifndef _WIN32
    std::unique_ptr<TestMount> disk;
#endif
    struct Case {
        const char* what;
        std::function<std::string()> before;  // why the fault cannot be made, or nothing
        std::function<void()> fault, mend;
    };
    const std::vector<Case> cases = {
        {"a write the file system refuses", [] { return std::string(); },
         [&] { fs.unwritable.insert(file); }, [&] { fs.unwritable.clear(); }},
#ifndef _WIN32
        {"a full disk",
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
        app::Window& w = start();
        // The last state: alive.url alone.
        search("alive");
        ASSERT_EQ(w.startLinkCheck(links), 1u);
        const std::string old = readFile(file);
        ASSERT_EQ(core::LinkState::read(fs, file).links.size(), 1u);
        c.fault();
        const auto names = namesIn();
        w.allFile();
        ASSERT_EQ(w.startLinkCheck(links), 2u);
        EXPECT_EQ(linkOf("alive.url"), "正常");
        EXPECT_EQ(linkOf("dead.url"), "リンク切れ");
        EXPECT_EQ(links.counts, "正常 1 件　リンク切れ 1 件");
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(namesIn(), names);
        c.mend();
        ASSERT_EQ(w.startLinkCheck(links), 2u);
        EXPECT_EQ(core::LinkState::read(fs, file).links.size(), 2u);
        window.reset();
#ifndef _WIN32
        disk.reset();
#endif
    }
}

TEST_F(LinkCheckWindow, OnlyTheListedFavoritesAreChecked) {
    server = std::make_unique<LinkServer>(
        std::map<std::string, LinkServer::Page>{{"/a", status(200)}, {"/b", status(200)}});
    writeShortcut(root + "alpha.url", url("/a"));
    writeShortcut(root + "beta.url", url("/b"));
    app::Window& w = start();
    search("alpha");
    EXPECT_EQ(w.startLinkCheck(links), 1u);
    EXPECT_EQ(server->hits().size(), 1u);
    EXPECT_EQ(linkOf("alpha.url"), "正常");
    // Folder rows are no favorites.
    w.allFolder();
    EXPECT_EQ(w.startLinkCheck(links), 0u);
    EXPECT_FALSE(links.running);
}

TEST_F(LinkCheckWindow, AStopEndsTheCheckSoonAndKeepsWhatCame) {
    server = std::make_unique<LinkServer>(
        std::map<std::string, LinkServer::Page>{{"/fast", status(200)}, {"/slow", slow(3s)}});
    writeShortcut(root + "fast.url", url("/fast"));
    writeShortcut(root + "slow.url", url("/slow"));
    ThreadScheduler scheduler;
    window = std::make_unique<app::Window>(
        app::Services{fs, cp, folders, caseMapper, opener, pages, trash, shortcuts, browsers}, view,
        prompts, &scheduler);
    window->startUp({});
    ASSERT_TRUE(scheduler.pumpUntil([&] { return !window->isFilling(); }));
    ASSERT_EQ(view.rows.size(), 2u);
    window->startLinkCheck(links);
    EXPECT_TRUE(links.running);
    ASSERT_TRUE(scheduler.pumpUntil([&] { return links.done == 1; }));
    window->stopLinkCheck();
    // Well before the slow page would answer.
    ASSERT_TRUE(scheduler.pumpUntil([&] { return !links.running; }, 10s));
    EXPECT_FALSE(window->isCheckingLinks());
    EXPECT_EQ(links.counts, "正常 1 件（中止）");
    EXPECT_EQ(linkOf("fast.url"), "正常");
    EXPECT_EQ(linkOf("slow.url"), "");
    window.reset();
    server->stop();
}

TEST(LinkCheckDays, TheDaysTypedAreANumberAboveZero) {
    const struct {
        const char* typed;
        std::optional<double> days;
    } cases[] = {
        {"30", 30},  {"0.5", 0.5}, {" 7 ", 7},       {"\xEF\xBC\x91\xEF\xBC\x95", 15},
        {"0", {}},   {"-3", {}},   {"", {}},         {"abc", {}},
        {"7日", {}}, {"1e9", {}},  {"36500", 36500}, {"\xEF\xBC\x90\xEF\xBC\x8E\xEF\xBC\x95", 0.5},
        {"3 0", 30}, {"nan", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(app::uncheckedDays(c.typed), c.days);
    }
}

TEST_F(LinkCheckWindow, AChoiceOfDaysTakesOnlyThoseUncheckedSoLong) {
    server = std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{
        {"/a", status(200)}, {"/b", status(200)}, {"/c", status(200)}});
    writeShortcut(root + "a.url", url("/a"));
    writeShortcut(root + "b.url", url("/b"));
    writeShortcut(root + "c.url", url("/c"));
    // What an earlier check found: /a gone a day ago, /b gone ten days ago,
    // /c never checked. The server says all three are there now.
    const std::int64_t now = secondsNow();
    core::LinkState earlier;
    earlier.record(url("/a"), {core::LinkStatus::Gone, 404, {}}, now - 86400);
    earlier.record(url("/b"), {core::LinkStatus::Gone, 404, {}}, now - 10 * 86400);
    const struct {
        const char* name;
        std::optional<double> days;
        std::vector<std::string> checked;  // the paths asked for again
        const char* a;                     // a.url's cell
        const char* b;
        const char* counts;
    } cases[] = {
        {"every one", std::nullopt, {"/a", "/b", "/c"}, "正常", "正常", "正常 3 件"},
        {"five days", 5, {"/b", "/c"}, "リンク切れ", "正常", "正常 2 件　前回の結果 1 件"},
        {"half a day", 0.5, {"/a", "/b", "/c"}, "正常", "正常", "正常 3 件"},
        {"fifteen days", 15, {"/c"}, "リンク切れ", "リンク切れ", "正常 1 件　前回の結果 2 件"},
    };
    app::Window& w = start();
    w.allFile();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keep(earlier);
        const std::size_t before = server->hits().size();
        EXPECT_EQ(w.startLinkCheck(links, c.days), 3u);
        const auto hits = server->hits();
        std::vector<std::string> asked;
        for (std::size_t i = before; i < hits.size(); ++i)
            if (hits[i].method == "HEAD") asked.push_back(hits[i].path);
        std::sort(asked.begin(), asked.end());
        EXPECT_EQ(asked, c.checked);
        EXPECT_EQ(linkOf("a.url"), c.a);
        EXPECT_EQ(linkOf("b.url"), c.b);
        EXPECT_EQ(linkOf("c.url"), "正常");
        EXPECT_EQ(links.counts, c.counts);
        EXPECT_EQ(links.total, c.checked.size());
        EXPECT_EQ(links.target.find("日以上") != std::string::npos, c.days.has_value())
            << links.target;
        // Those checked now have this check's time; the others keep theirs.
        const auto after = kept();
        for (const char* p : {"/a", "/b", "/c"}) {
            const bool again = std::count(c.checked.begin(), c.checked.end(), p) == 1;
            EXPECT_EQ(after.links.at(url(p)).checked >= now, again) << p;
        }
    }
}

TEST_F(LinkCheckWindow, TheDialogKeepsItsChoiceAndChecksAgainWithIt) {
    server = std::make_unique<LinkServer>(
        std::map<std::string, LinkServer::Page>{{"/a", status(200)}, {"/b", status(404)}});
    writeShortcut(root + "a.url", url("/a"));
    writeShortcut(root + "b.url", url("/b"));
    app::Window& w = start();
    w.allFile();
    namespace st = core::settings;
    std::size_t asked = 0;  // what the server was asked by the first check
    {
        // Nothing stored: every favorite, and 30 days proposed.
        app::LinkCheckDialog dialog(w, links);
        EXPECT_FALSE(links.only);
        EXPECT_EQ(links.days, "30");
        EXPECT_EQ(pathsHit(), (std::vector<std::string>{"/a", "/b"}));
        EXPECT_EQ(links.counts, "正常 1 件　リンク切れ 1 件");
        asked = server->hits().size();

        // A word for the days starts nothing and keeps nothing.
        links.only = true;
        links.days = "soon";
        dialog.Command3_Click();
        EXPECT_EQ(links.counts, "日数には 0 より大きい数を入れてください。");
        EXPECT_EQ(server->hits().size(), asked);
        EXPECT_EQ(w.settings().read(st::kLinkCheck, st::kUncheckedDays), "");

        // Both were checked just now: a check of those unchecked for a day
        // asks for none, and the column shows what the state file kept.
        links.days = "1";
        dialog.Command3_Click();
        EXPECT_EQ(server->hits().size(), asked);
        EXPECT_EQ(links.counts, "前回の結果 2 件");
        EXPECT_EQ(linkOf("b.url"), "リンク切れ");
    }
    // The choice is the next dialog's.
    EXPECT_EQ(w.settings().read(st::kLinkCheck, st::kUncheckedDays), "1");
    RecordingLinkView next;
    app::LinkCheckDialog dialog(w, next);
    EXPECT_TRUE(next.only);
    EXPECT_EQ(next.days, "1");
    EXPECT_EQ(server->hits().size(), asked);
    EXPECT_NE(next.target.find("前回の確認から 1 日以上"), std::string::npos) << next.target;
}

// The state file follows what the window does to the favorites: an updated
// one's new address is kept as working, as of the check that found the move,
// and its old one forgotten; a trashed one's page is forgotten. A "no", or a
// trash that refuses, leaves every record as it was.
TEST_F(LinkCheckWindow, TheStateFileFollowsTheUpdatesAndTheTrash) {
    server = std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{
        {"/old", redirect("/new", 301)}, {"/new", status(200)}, {"/ok", status(200)}});
    RefusingTrash refusing;
    const struct {
        const char* what;
        bool trash;  // the gone ones to the trash; else the moved ones updated
        bool yes;
        platform::Trash* otherTrash;
        std::vector<std::string> after;  // the paths the file keeps, in its order
        const char* twin = nullptr;      // another favorite's address, left out of the check
    } cases[] = {
        {"the moved one updated", false, true, nullptr, {"/dead", "/new", "/ok"}},
        {"no update", false, false, nullptr, {"/dead", "/ok", "/old"}},
        {"the gone one trashed", true, true, nullptr, {"/ok", "/old"}},
        {"no trashing", true, false, nullptr, {"/dead", "/ok", "/old"}},
        {"a trash that refuses", true, true, &refusing, {"/dead", "/ok", "/old"}},
        {"the old address still another's",
         false,
         true,
         nullptr,
         {"/dead", "/new", "/ok", "/old"},
         "/old"},
        {"the gone address still another's",
         true,
         true,
         nullptr,
         {"/dead", "/ok", "/old"},
         "/dead"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(fsPath(stateFile()));
        writeShortcut(root + "moved.url", url("/old"), "checked");
        writeShortcut(root + "dead.url", url("/dead"), "checked");
        writeShortcut(root + "alive.url", url("/ok"), "checked");
        std::filesystem::remove(fsPath(root + "twin.url"));
        if (c.twin) writeShortcut(root + "twin.url", url(c.twin));
        app::Window& w = start({}, c.otherTrash);
        w.allFile();
        if (c.twin) search("checked");
        ASSERT_EQ(w.startLinkCheck(links), 3u);
        const core::LinkState before = kept();
        ASSERT_EQ(before.links.size(), 3u);
        prompts.confirmAnswers = {c.yes};
        if (c.trash)
            w.trashGone_Click();
        else
            w.updateMoved_Click();
        const core::LinkState after = kept();
        std::vector<std::string> paths;
        for (const auto& [address, link] : after.links) {
            paths.push_back(address.substr(server->base().size()));
            // The records left alone keep their time.
            if (const auto was = before.links.find(address); was != before.links.end()) {
                EXPECT_EQ(link.checked, was->second.checked) << address;
            }
        }
        EXPECT_EQ(paths, c.after);
        if (const auto moved = after.links.find(url("/new")); moved != after.links.end()) {
            EXPECT_EQ(moved->second.result.status, core::LinkStatus::Ok);
            EXPECT_EQ(moved->second.checked, before.links.at(url("/old")).checked);
        }
    }
}

// The duplicates show unsorted, so that each group stands together; the
// user's sort, and its mark, come back with the next list.
TEST_F(LinkCheckWindow, TheSortComesBackAfterTheDuplicates) {
    writeShortcut(root + "c.url", "http://example.com/page", "one");
    writeShortcut(root + "a.url", "http://example.org/", "three");
    writeShortcut(root + "b.url", "http://example.com/page#top", "two");
    writeShortcut(root + "d.url", "http://example.org", "four");
    const std::vector<std::string> byName = {"a.url", "b.url", "c.url", "d.url"};
    const std::vector<std::string> byComment = {"b.url", "a.url", "c.url", "d.url"};
    using Sort = std::pair<int, bool>;
    const struct {
        const char* what;
        std::vector<int> before, during;  // the columns clicked (1-based)
        std::optional<Sort> sort;         // the next list's
        std::vector<std::string> names;   // its order, when sorted
    } cases[] = {
        {"by name", {1}, {}, Sort{0, false}, byName},
        {"by comment", {1, 3}, {}, Sort{2, true}, byComment},
        {"a click on the duplicates", {1}, {3}, Sort{2, true}, byComment},
        {"no sort", {}, {}, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        app::Window& w = start();
        w.allFile();
        const auto walked = view.column(0);
        for (int column : c.before)
            w.ListView1_ColumnClick(column);
        w.duplicates_Click();
        ASSERT_EQ(view.rows.size(), 4u);
        EXPECT_FALSE(w.list().isSorted());
        EXPECT_FALSE(view.sortIndicator && view.sortIndicator->first >= 0);
        for (int column : c.during)
            w.ListView1_ColumnClick(column);
        w.allFile();
        EXPECT_EQ(w.list().isSorted(), c.sort.has_value());
        EXPECT_EQ(view.column(0), c.sort ? c.names : walked);
        if (c.sort) {
            EXPECT_EQ(view.sortIndicator, c.sort);
        } else {
            EXPECT_FALSE(view.sortIndicator && view.sortIndicator->first >= 0);
        }
        // And once more: what was held is spent.
        w.allFile();
        EXPECT_EQ(view.column(0), c.sort ? c.names : walked);
    }
}

// A check's results may re-sort the list: the selected favorite stays
// selected wherever its row goes.
TEST_F(LinkCheckWindow, TheSelectionFollowsItsFavoriteWhenACheckReSorts) {
    server =
        std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{{"/ok", status(200)}});
    const struct {
        const char* what;
        int column;  // clicked, 1-based; 0 for none
    } cases[] = {{"unsorted", 0}, {"by name", 1}, {"by the Link column", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeShortcut(root + "a.url", url("/ok"));
        writeShortcut(root + "b.url", url("/gone"));
        writeShortcut(root + "c.url", url("/gone"));
        app::Window& w = start();
        w.allFile();
        ASSERT_EQ(w.startLinkCheck(links), 3u);
        if (c.column) w.ListView1_ColumnClick(c.column);
        w.ListView1_Click(rowOf("a.url"));
        const int was = w.currentItem();
        // a.url's page goes, b.url's comes: sorted by the column, they change places.
        writeShortcut(root + "a.url", url("/gone"));
        writeShortcut(root + "b.url", url("/ok"));
        ASSERT_EQ(w.startLinkCheck(links), 3u);
        EXPECT_EQ(linkOf("a.url"), "リンク切れ");
        EXPECT_EQ(linkOf("b.url"), "正常");
        EXPECT_EQ(rowOf("a.url") != was, c.column == 4);
        ASSERT_GE(w.currentItem(), 0);
        EXPECT_EQ(w.currentItem(), rowOf("a.url"));
        EXPECT_EQ(view.selected, w.currentItem());
    }
}

#ifndef _WIN32
// The Link column stays with the rows that come after a check: the whole
// list again once another program changed the tree, and a search as typed.
TEST_F(LinkCheckWindow, TheLinkColumnStaysThroughTheWatchAndTheTypedSearch) {
    server =
        std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{{"/ok", status(200)}});
    writeShortcut(root + "alive.url", url("/ok"));
    writeShortcut(root + "dead.url", url("/gone"));
    ThreadScheduler scheduler;
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> names;  // by name
    } cases[] = {
        {"another program adds a favorite",
         [&] { writeShortcut(root + "new.url", url("/ok")); },
         {"alive.url", "dead.url", "new.url"}},
        {"a search as typed",
         [&] {
             type(app::Id::Combo1, "dead");
             window->Combo1_Change();
         },
         {"dead.url"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(fsPath(root + "new.url"));
        platform::InotifyTreeWatcher watcher;
        // The window goes before the watch it uses, however the case ends.
        struct Ends {
            std::unique_ptr<app::Window>& window;
            ~Ends() { window.reset(); }
        } ends{window};
        view = FakeView{};
        window =
            std::make_unique<app::Window>(app::Services{fs, cp, folders, caseMapper, opener, pages,
                                                        trash, shortcuts, browsers, &watcher},
                                          view, prompts, &scheduler);
        window->startUp({});
        ASSERT_TRUE(
            scheduler.pumpUntil([&] { return !window->isFilling() && window->searchesAsTyped(); }));
        window->ListView1_ColumnClick(1);
        window->startLinkCheck(links);
        ASSERT_TRUE(scheduler.pumpUntil([&] { return !links.running; }));
        ASSERT_EQ(view.headers.size(), 4u);
        c.act();
        ASSERT_TRUE(scheduler.pumpUntil([&] { return view.column(0) == c.names; }));
        EXPECT_EQ(view.headers, (std::vector<std::string>{"Name", "Folder", "Comment", "Link"}));
        EXPECT_EQ(linkOf("dead.url"), "リンク切れ");
        if (c.names.size() > 1) {
            EXPECT_EQ(linkOf("alive.url"), "正常");
            EXPECT_EQ(linkOf("new.url"), "");
        }
    }
}
#endif

TEST_F(LinkCheckWindow, GoneOnesGoToTheTrashAfterOneQuestion) {
    server =
        std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{{"/ok", status(200)}});
    writeShortcut(root + "alive.url", url("/ok"));
    for (int i = 0; i < 12; ++i)
        writeShortcut(root + "dead" + std::to_string(i) + ".url", url("/dead"));
    app::Window& w = start();
    w.allFile();
    w.startLinkCheck(links);

    // No: nothing moves.
    prompts.confirmAnswers = {false};
    w.trashGone_Click();
    EXPECT_TRUE(exists(root + "dead0.url"));
    EXPECT_EQ(view.rows.size(), 13u);

    const std::size_t asked = prompts.shown.size();
    w.trashGone_Click();
    ASSERT_GT(prompts.shown.size(), asked);
    const std::string question = prompts.shown[asked];
    EXPECT_NE(question.find("12 件"), std::string::npos) << question;
    EXPECT_NE(question.find("ほか 2 件"), std::string::npos) << question;
    EXPECT_EQ(question.find("alive.url"), std::string::npos) << question;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "dead" + std::to_string(i) + ".url";
        EXPECT_FALSE(exists(root + name)) << name;
        EXPECT_TRUE(exists(trashed(name))) << name;
    }
    EXPECT_TRUE(exists(root + "alive.url"));
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0][0], "alive.url");
    EXPECT_EQ(view.count, "ファイル数: 1");
    // Nothing gone is left to ask about.
    w.trashGone_Click();
    EXPECT_EQ(lastShown(), "リンク切れのお気に入りはありません。");
}

TEST_F(LinkCheckWindow, MovedOnesTakeTheirNewAddressKeepingEveryOtherLine) {
    server = std::make_unique<LinkServer>(std::map<std::string, LinkServer::Page>{
        {"/old", redirect("/new", 308)}, {"/new", status(200)}, {"/temp", redirect("/new", 302)}});
    const std::string file = root + "moved.url";
    writeFile(file,
              "[DEFAULT]\r\nBASEURL=" + url("/old") +
                  "\r\n[InternetShortcut]\r\nURL=" + url("/old") +
                  "\r\nIconIndex=3\r\nIconFile=C:\\icon.ico\r\n[CommentKey]\r\nWords=note\r\n");
    writeShortcut(root + "temporary.url", url("/temp"));
    const std::string temporary = readFile(root + "temporary.url");
    app::Window& w = start();
    w.allFile();
    w.startLinkCheck(links);
    EXPECT_EQ(linkOf("moved.url"), "移動");
    EXPECT_EQ(linkOf("temporary.url"), "正常");

    prompts.confirmAnswers = {false};
    w.updateMoved_Click();
    EXPECT_NE(readFile(file).find("URL=" + url("/old") + "\r\nIconIndex"), std::string::npos);

    w.updateMoved_Click();
    const std::string after = readFile(file);
    EXPECT_NE(after.find("\r\nURL=" + url("/new") + "\r\n"), std::string::npos) << after;
    EXPECT_EQ(after.find("\r\nURL=" + url("/old")), std::string::npos) << after;
    for (const char* line : {"IconIndex=3", "IconFile=C:\\icon.ico", "Words=note", "[DEFAULT]"})
        EXPECT_NE(after.find(line), std::string::npos) << line;
    // A temporary redirect is no move.
    EXPECT_EQ(readFile(root + "temporary.url"), temporary);
    EXPECT_EQ(linkOf("moved.url"), "正常");
}

TEST_F(LinkCheckWindow, DuplicatesShowByGroupAndOneOfAGroupIsKept) {
    writeShortcut(root + "a1.url", "http://Example.com/page?utm_source=x");
    writeShortcut(root + "unique.url", "http://example.com/other");
    writeShortcut(root + "b1.url", "https://example.org");
    writeShortcut(root + "a2.url", "http://example.com:80/page#top");
    makeFolders(root + "sub/");
    writeShortcut(root + "sub/b2.url", "https://example.org/");
    writeShortcut(root + "sub/a3.url", "http://example.com/page");
    app::Window& w = start();
    w.allFile();
    // A sort in force would tear the groups apart.
    w.ListView1_ColumnClick(1);
    w.duplicates_Click();
    ASSERT_EQ(view.rows.size(), 5u);
    EXPECT_EQ(rowOf("unique.url"), -1);
    // Each group's rows stand together.
    const int a1 = rowOf("a1.url"), a2 = rowOf("a2.url"), a3 = rowOf("a3.url");
    const int b1 = rowOf("b1.url"), b2 = rowOf("b2.url");
    EXPECT_EQ(std::max({a1, a2, a3}) - std::min({a1, a2, a3}), 2);
    EXPECT_EQ(std::abs(b1 - b2), 1);

    // A row outside any group keeps nothing.
    w.allFile();
    w.ListView1_Click(0);
    w.keepOne_Click();
    EXPECT_EQ(lastShown(), "重複の一覧で、残すお気に入りを選んでください。");

    w.duplicates_Click();
    w.ListView1_Click(rowOf("a2.url"));
    const std::size_t asked = prompts.shown.size();
    w.keepOne_Click();
    ASSERT_GT(prompts.shown.size(), asked);
    EXPECT_NE(prompts.shown[asked].find("「a2.url」を残し"), std::string::npos);
    EXPECT_NE(prompts.shown[asked].find("2 件"), std::string::npos);
    EXPECT_TRUE(exists(root + "a2.url"));
    EXPECT_FALSE(exists(root + "a1.url"));
    EXPECT_FALSE(exists(root + "sub/a3.url"));
    EXPECT_TRUE(exists(root + "b1.url"));
    EXPECT_TRUE(exists(root + "sub/b2.url"));
    EXPECT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(rowOf("a1.url"), -1);
}

}  // namespace
}  // namespace brim::test
