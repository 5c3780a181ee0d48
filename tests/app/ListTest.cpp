// Fills of the list, clicks on its rows and headers, searches, keyword
// history, the open pages and Auto Copy.

#include "WindowFixture.h"

namespace brim::test {
namespace {

using app::Id;
using app::Twips;
using Strings = std::vector<std::string>;

using ListTest = WindowFixture;

TEST_F(ListTest, ClickOnAFavoriteFillsTheBoxes) {
    writeShortcut(root + "Links/News.url", "http://news.example/", "daily");
    writeFile(root + "page.html", "<html></html>");
    app::Window& w = start();
    ASSERT_EQ(view.column(), (Strings{"page.html", "News.url"}));
    const struct {
        int row;
        const char *folder, *name, *url, *comment;
    } cases[] = {
        {1, "\\Links\\", "News", "http://news.example/", "daily"},
        {0, "\\", "page.html", "", ""},
    };
    for (const auto& c : cases) {
        w.ListView1_Click(c.row);
        EXPECT_EQ(box(Id::Text2), c.folder);
        EXPECT_EQ(box(Id::Text6), c.folder);
        EXPECT_EQ(box(Id::Text3), c.name);
        EXPECT_EQ(box(Id::Text4), c.url);
        EXPECT_EQ(box(Id::Text5), c.comment);
        EXPECT_EQ(w.currentItem(), c.row);
    }
}

TEST_F(ListTest, ClickBesideTheRowsChangesNothing) {
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();
    type(Id::Text3, "kept");
    for (const int row : {-1, 1, 1000}) {
        w.ListView1_Click(row);
        EXPECT_EQ(box(Id::Text3), "kept");
        EXPECT_EQ(w.currentItem(), -1);
    }
}

#ifndef _WIN32
// Windows names hold no quote.
TEST_F(ListTest, FolderListAndClickOnAFolder) {
    makeFolders(root + "A/A1");
    makeFolders(root + "B");
    makeFolders(root + "Q\"uote");
    makeFolders(root + ".hidden");
    app::Window& w = start();
    w.Command1_Click();
    EXPECT_EQ(w.listMode(), 1);
    EXPECT_EQ(w.itemCount(), 0);
    EXPECT_EQ(w.folderCount(), 5);
    EXPECT_EQ(view.count, "フォルダ数: 5");
    EXPECT_EQ(view.headers, Strings{"Folder"});
    EXPECT_EQ(view.column(), (Strings{"\\", "\\Q\"uote\\", "\\B\\", "\\A\\", "\\A\\A1\\"}));
    w.ListView1_Click(3);
    EXPECT_EQ(box(Id::Text6), "\\A\\");
    EXPECT_EQ(box(Id::Combo1), "\"\\A\\\"");
    w.ListView1_Click(1);  // a quote of its own: taken as it is
    EXPECT_EQ(box(Id::Combo1), "\\Q\"uote\\");
}
#endif

TEST_F(ListTest, FolderListDoubleClickSearchesTheFolder) {
    writeShortcut(root + "News/a.url", "http://a/");
    writeShortcut(root + "News/Sport/b.url", "http://b/");
    writeShortcut(root + "c.url", "http://c/");
    app::Window& w = start();
    w.Command1_Click();
    EXPECT_EQ(view.column(), (Strings{"\\", "\\News\\", "\\News\\Sport\\"}));
    w.ListView1_Click(1);
    w.ListView1_DblClick();
    EXPECT_EQ(w.listMode(), 0);
    EXPECT_EQ(view.column(), (Strings{"a.url", "b.url"}));
    EXPECT_TRUE(view.keywordItems.empty());  // a folder is never recorded
}

TEST_F(ListTest, ClickOnAPageRow) {
    app::Window& w = start();
    w.showPages({{"Example page", "http://example.com/", "Chromium"},
                 {"", "http://untitled/", "Chromium"}});
    EXPECT_EQ(w.listMode(), 2);
    EXPECT_EQ(w.itemCount(), 2);
    EXPECT_EQ(view.count, "サイト数: 2");
    type(Id::Text6, "\\Target\\");
    type(Id::Text5, "old comment");
    view.focused.reset();
    w.ListView1_Click(0);
    EXPECT_EQ(box(Id::Text2), "[Internet]");
    EXPECT_EQ(box(Id::Text3), "Example page");
    EXPECT_EQ(box(Id::Text4), "http://example.com/");
    EXPECT_EQ(box(Id::Text5), "");
    EXPECT_EQ(box(Id::Text6), "\\Target\\");
    EXPECT_EQ(view.focused, app::Id::Text5);
    w.ListView1_Click(1);  // no title: the boxes stay
    EXPECT_EQ(box(Id::Text3), "Example page");
}

TEST_F(ListTest, HeaderClicksSortAndLaterFillsStaySorted) {
    writeShortcut(root + "b.url", "http://b/", "");
    writeShortcut(root + "c.url", "http://c/", "alpha");
    writeShortcut(root + "a.url", "http://a/", "Beta");
    app::Window& w = start();
    EXPECT_EQ(view.column(), (Strings{"a.url", "b.url", "c.url"}));
    w.ListView1_ColumnClick(3);  // "Comment": those with one first, case folded
    EXPECT_EQ(view.column(2), (Strings{"Beta", "alpha", ""}));
    EXPECT_EQ(view.sortIndicator, (std::pair{2, true}));
    w.ListView1_ColumnClick(3);
    EXPECT_EQ(view.column(2), (Strings{"Beta", "alpha", ""}));
    w.ListView1_ColumnClick(1);
    EXPECT_EQ(view.sortIndicator, (std::pair{0, false}));
    writeShortcut(root + "0.url", "http://0/");
    w.allFile();
    EXPECT_EQ(view.column(), (Strings{"0.url", "a.url", "b.url", "c.url"}));
    w.ListView1_ColumnClick(3);
    w.allFolder();  // one column: the sort column is not there, the walk order stays
    EXPECT_EQ(view.column(), Strings{"\\"});
    w.allFile();
    EXPECT_EQ(view.column(2), (Strings{"Beta", "alpha", "", ""}));
    // A click takes the row as sorted, not as walked.
    w.ListView1_Click(0);
    EXPECT_EQ(box(Id::Text3), "a");
}

TEST_F(ListTest, CommandLineStartShowsTheFavoriteInTheFullLayout) {
    setting("mmode", "value", " 1");
    writeShortcut(root + "Links/News.url", "http://news/", "ニュース");
    writeShortcut(root + "other.url", "http://other/", "");
    app::Window& w = start(root + "links/news.URL");
    EXPECT_EQ(w.winMode(), 2);
    EXPECT_EQ(view.size, (Twips{6270, 6615}));
    EXPECT_EQ(box(Id::Text2), root + "Links/");
    EXPECT_EQ(box(Id::Text6), root + "Links/");
    EXPECT_EQ(box(Id::Text3), "News");
    EXPECT_EQ(box(Id::Text4), "http://news/");
    EXPECT_EQ(box(Id::Text5), "ニュース");
    EXPECT_EQ(view.column(), Strings{"News.url"});  // "same" ran for its address
    EXPECT_EQ(w.listMode(), 0);
}

TEST_F(ListTest, SearchByEnterSearchAndGo) {
    writeShortcut(root + "a.url", "http://news.example/", "daily");
    writeShortcut(root + "b.url", "http://b/", "sport");
    writeShortcut(root + "News/c.url", "http://c/", "");
    app::Window& w = start();
    const struct {
        const char* typed;
        Strings rows;
        const char* count;
    } cases[] = {
        {"news", {"a.url", "c.url"}, "ファイル数: 2"},
        {"sport daily", {"a.url", "b.url"}, "ファイル数: 2"},
        {"", {"a.url", "b.url", "c.url"}, "ファイル数: 3"},  // empty: everything
        {"   ", {}, "ファイル数: 0"},                        // blanks: no keyword
        {"\"sport daily\"", {}, "ファイル数: 0"},            // one phrase
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        search(c.typed);
        EXPECT_EQ(view.column(), c.rows);
        EXPECT_EQ(view.count, c.count);
    }
    search("sport daily");
    EXPECT_EQ(w.searchKeys(), (Strings{"sport", "daily"}));
}

TEST_F(ListTest, CompactSearchOpensTheOneMatchOrEnlarges) {
    setting("mmode", "value", " 1");
    writeShortcut(root + "a.url", "http://alpha.example/", "one");
    writeShortcut(root + "b.url", "http://beta.example/", "two");
    app::Window& w = start();
    type(Id::Text4, "http://stale.example/");
    w.searchFile("one");
    EXPECT_EQ(opener.opened, Strings{"http://alpha.example/"});
    EXPECT_EQ(box(Id::Text3), "a");
    EXPECT_EQ(view.size, (Twips{4140, 1245}));
    w.searchFile("example");
    EXPECT_EQ(view.size, (Twips{6285, 3660}));
    w.searchFile("nothing");
    EXPECT_EQ(view.size, (Twips{6285, 3660}));
    EXPECT_EQ(opener.opened.size(), 1u);
    w.setWinMode(2);
    w.searchFile("one");  // other modes open nothing
    EXPECT_EQ(opener.opened.size(), 1u);
}

TEST_F(ListTest, CompactSearchWithoutAutoCopyStillOpensTheMatchItself) {
    setting("mmode", "value", " 1");
    setting("AutoCopy", "File", " 10");
    writeShortcut(root + "a.url", "http://alpha.example/", "one");
    app::Window& w = start();
    type(Id::Text4, "http://stale.example/");
    w.searchFile("one");
    EXPECT_EQ(opener.opened, Strings{"http://alpha.example/"});
}

TEST_F(ListTest, SameListsTheShownAddressAndTouchesNothingElse) {
    writeShortcut(root + "a.url", "http://x.example/page", "");
    writeShortcut(root + "b.url", "http://x.example/page/more", "");
    writeShortcut(root + "c.url", "http://y.example/", "http://x.example/page");
    setting("mmode", "value", " 1");
    app::Window& w = start();
    type(Id::Combo1, "typed");
    type(Id::Text4, "http://x.example/page");
    const auto size = view.size;
    w.Command2_Click();
    EXPECT_EQ(view.column(), (Strings{"a.url", "b.url"}));
    EXPECT_EQ(view.size, size);
    EXPECT_EQ(box(Id::Combo1), "typed");
    EXPECT_TRUE(view.keywordItems.empty());
    EXPECT_TRUE(opener.opened.empty());
    type(Id::Text4, "");
    w.Command2_Click();
    EXPECT_EQ(w.itemCount(), 3);
}

TEST_F(ListTest, OptionsTakeEffectAtOnceAndLastOnlyWhenClosed) {
    writeShortcut(root + "News/a.url", "http://a/", "");
    writeShortcut(root + "b.url", "http://b/", "News");
    {
        app::Window& w = start();
        app::SearchOptionsDialog& o = w.searchOptions();
        o.setCheck(5, 0);  // comment off
        o.setCheck(1, 0);  // case sensitive
        w.searchFile("News");
        EXPECT_EQ(view.column(), Strings{"a.url"});
        w.searchFile("news");
        EXPECT_EQ(view.column(), Strings{});
        EXPECT_EQ(setting("SerchCond", "check5"), "");
        o.setOption1(false);
        o.Command1_Click();
        EXPECT_EQ(setting("SerchCond", "check5"), "10");
        EXPECT_EQ(setting("SerchCond", "check1"), "10");
        EXPECT_EQ(setting("SerchCond", "check2"), "11");
        EXPECT_EQ(setting("SerchCond", "option1"), "10");
    }
    app::Window& again = start();
    EXPECT_EQ(again.searchOptions().check(5), 0);
    EXPECT_FALSE(again.searchOptions().option1());
    setting("SerchCond", "check2", " 12");
    app::Window& third = start();
    EXPECT_EQ(third.searchOptions().check(2), 2);
    third.searchFile("news");  // the folder field is grayed: off; the comment is off
    EXPECT_EQ(view.column(), Strings{});
}

TEST_F(ListTest, HistoryRules) {
    setting("KeyWords", "D0", "fixedA");
    setting("KeyWords", "D1", "fixedB");
    setting("KeyWords", "W0", "w0");
    setting("KeyWords", "W1", "");
    setting("KeyWords", "W2", "old1");
    setting("KeyWords", "W3", "old2");
    app::Window& w = start();
    EXPECT_EQ(view.keywordItems, (Strings{"fixedA", "fixedB", "old2"}));
    for (const char* k : {"news", "news", "fixedA", "\\Links\\", "\"\\Links\\\" "})
        search(k);
    EXPECT_EQ(view.keywordItems, (Strings{"fixedA", "fixedB", "old2", "news"}));
    EXPECT_EQ(setting("KeyWords", "W3"), "news");
    for (int i = 0; i < 12; ++i)
        search("k" + std::to_string(i));
    EXPECT_EQ(view.keywordItems.size(), 15u);
    EXPECT_EQ(view.keywordItems[2], "news");  // old2 went
    EXPECT_EQ(setting("KeyWords", "W14"), "k11");
    EXPECT_EQ(box(Id::Combo1), "k11");

    app::KeywordBox& k = w.keywords();
    k.registerFixed("news");
    EXPECT_EQ(Strings(view.keywordItems.begin(), view.keywordItems.begin() + 4),
              (Strings{"fixedA", "fixedB", "news", "k0"}));
    EXPECT_EQ(std::count(view.keywordItems.begin(), view.keywordItems.end(), "news"), 1);
    EXPECT_EQ(setting("KeyWords", "D2"), "news");
    k.registerFixed("");  // nothing to register
    EXPECT_EQ(k.fixedKeywords().size(), 3u);
    k.deleteFixed("fixedA");
    EXPECT_EQ(k.fixedKeywords(), (Strings{"fixedB", "news"}));
    EXPECT_EQ(setting("KeyWords", "D0"), "fixedB");
    EXPECT_EQ(setting("KeyWords", "D2"), "");

    w.clearKey_Click();
    EXPECT_EQ(view.keywordItems, (Strings{"fixedB", "news"}));
    // The stored history comes back at the next start.
    start();
    // The fixed block now covers two stored entries: "news" stands twice.
    EXPECT_EQ(Strings(view.keywordItems.begin(), view.keywordItems.begin() + 3),
              (Strings{"fixedB", "news", "news"}));
    EXPECT_EQ(view.keywordItems[14], "k11");
}

TEST_F(ListTest, StartShowsTheOpenPagesNewestFirst) {
    writeShortcut(root + "a.url", "http://a/");
    pages.pages = {{"One", "https://one.example/", "Mozilla Firefox"},
                   {"Blank", "about:blank", "Mozilla Firefox"},
                   {"Two", "http://two.example/", "Chromium"},
                   {"Other", "https://other.example/", "Opera"}};
    app::Window& w = start();
    EXPECT_EQ(w.listMode(), 2);
    EXPECT_EQ(w.itemCount(), 2);
    EXPECT_EQ(view.headers, (Strings{"site", "URL"}));
    EXPECT_EQ(view.fifths, (std::vector<int>{2, 3}));
    EXPECT_EQ(view.column(), (Strings{"Two", "One"}));
    EXPECT_EQ(view.column(1), (Strings{"http://two.example/", "https://one.example/"}));
    EXPECT_EQ(view.count, "サイト数: 2");
    EXPECT_EQ(box(Id::Text2), "");  // two pages: nothing taken over
}

TEST_F(ListTest, ASinglePageIsTakenOverWhenAutoCopySaysSo) {
    pages.pages = {{"Only page", "https://only.example/", "Google Chrome"}};
    start();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(box(Id::Text2), "[Internet]");
    EXPECT_EQ(box(Id::Text3), "Only page");
    EXPECT_EQ(box(Id::Text4), "https://only.example/");
    EXPECT_EQ(view.focused, app::Id::Combo1);  // start-up ends in the keyword box

    setting("AutoCopy", "IE", " 10");
    app::Window& w = start();
    EXPECT_EQ(w.itemCount(), 1);
    EXPECT_EQ(box(Id::Text3), "");
    w.autoCopy().setCheck(1, 1);  // on again, without OK: the next capture follows it
    w.Command6_Click();
    EXPECT_EQ(box(Id::Text3), "Only page");
    EXPECT_EQ(view.focused, app::Id::Text5);
    EXPECT_EQ(setting("AutoCopy", "IE"), "10");
}

TEST_F(ListTest, GetWithNoPagesShowsAnEmptyPageList) {
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();
    EXPECT_EQ(w.listMode(), 0);
    w.Command6_Click();
    EXPECT_EQ(w.listMode(), 2);
    EXPECT_EQ(w.itemCount(), 0);
    EXPECT_EQ(view.count, "サイト数: 0");
    EXPECT_EQ(view.focused, app::Id::Text5);
}

TEST_F(ListTest, AutoCopyDialogStoresBothBoxes) {
    app::Window& w = start();
    w.autoCopy().setCheck(2, 0);
    w.autoCopy().Command1_Click();
    EXPECT_EQ(setting("AutoCopy", "IE"), "11");
    EXPECT_EQ(setting("AutoCopy", "File"), "10");
    EXPECT_NE(readFile(folders.settingsFile()).find("[AutoCopy]\r\nIE= 11\r\nFile= 10\r\n"),
              std::string::npos);
}

TEST_F(ListTest, ASingleMatchIsTakenOverWhenAutoCopySaysSo) {
    writeShortcut(root + "News/one.url", "http://one.example/", "unique");
    writeShortcut(root + "two.url", "http://two.example/", "");
    {
        app::Window& w = start();
        w.searchFile("unique");
        EXPECT_EQ(box(Id::Text2), "\\News\\");
        EXPECT_EQ(box(Id::Text3), "one");
        EXPECT_EQ(box(Id::Text4), "http://one.example/");
        EXPECT_EQ(view.focused, app::Id::Command4);
        type(Id::Text3, "kept");
        w.searchFile("example");  // two matches: nothing taken over
        EXPECT_EQ(box(Id::Text3), "kept");
        EXPECT_TRUE(opener.opened.empty());
    }
    setting("AutoCopy", "File", " 10");
    app::Window& w = start();
    type(Id::Text3, "kept");
    w.searchFile("unique");
    EXPECT_EQ(box(Id::Text3), "kept");
}

}  // namespace
}  // namespace brim::test
