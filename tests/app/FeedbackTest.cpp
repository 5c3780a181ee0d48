// What the window tells the user: a Favorites folder it cannot use, the
// comment of a favorite just saved, and the favorite named on the command line.

#include <filesystem>

#include "WindowFixture.h"
#include "app/CommandLine.h"

namespace brim::test {
namespace {

using app::Id;
using Strings = std::vector<std::string>;

using FeedbackTest = WindowFixture;

constexpr const char* kEnvironmentHint = "環境変数 BRIMMARK_FAVORITES にそのフォルダを指定";
constexpr const char* kExplorerHint = "「お気に入り」フォルダのプロパティを開き、「場所」タブ";

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(FeedbackTest, AnUnusableFavoritesFolderIsNamedOnceAtStartUp) {
    const std::string folder = root.substr(0, root.size() - 1);
    const struct {
        const char* what;
        std::function<void()> make;
        const char* problem;  // empty: no message
        std::string variable;
        const char* hint;
    } cases[] = {
        {"readable", [] {}, "", "BRIMMARK_FAVORITES", ""},
        {"empty", [] {}, "", "", ""},
        {"missing", [&] { std::filesystem::remove_all(folder); }, "が見つかりません。",
         "BRIMMARK_FAVORITES", kEnvironmentHint},
        {"a file",
         [&] {
             std::filesystem::remove_all(folder);
             writeFile(folder, "x");
         },
         "はフォルダではありません。", "BRIMMARK_FAVORITES", kEnvironmentHint},
        {"unreadable", [&] { fs.unreadable.insert(root); }, "を読み取れません。", "",
         kExplorerHint},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder);
        fs.unreadable.clear();
        makeFolders(root);
        c.make();
        folders.variable = c.variable;
        prompts.shown.clear();
        start();
        if (*c.problem == '\0') {
            EXPECT_EQ(prompts.shown, Strings{});
            continue;
        }
        // One message, after the window is there, naming the folder and the way out.
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(view.shown);
        EXPECT_TRUE(holds(lastShown(), "「" + folder + "」" + c.problem)) << lastShown();
        EXPECT_TRUE(holds(lastShown(), c.hint)) << lastShown();
        EXPECT_EQ(window->itemCount(), 0);
    }
}

TEST_F(FeedbackTest, FillsThatFindNothingSayWhenTheFolderHasGone) {
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();
    ASSERT_EQ(w.itemCount(), 1);
    const struct {
        const char* what;
        std::function<void()> fill;
    } fills[] = {
        {"every favorite", [&] { w.allFile(); }},
        {"search", [&] { search("a"); }},
        {"folders", [&] { w.Command1_Click(); }},
        {"same address", [&] { w.Command2_Click(); }},
    };
    // A search without a match in a folder that is there says nothing.
    search("nothing-matches");
    EXPECT_EQ(prompts.shown, Strings{});

    std::filesystem::remove_all(root);
    for (const auto& f : fills) {
        SCOPED_TRACE(f.what);
        prompts.shown.clear();
        f.fill();
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(holds(lastShown(), "が見つかりません。")) << lastShown();
    }
}

TEST_F(FeedbackTest, SavedFavoriteRowShowsItsNewComment) {
    writeShortcut(root + "b.url", "http://b/", "古い");
    writeShortcut(root + "Links/a.url", "http://a/", "そのまま");
    writeShortcut(root + "Links/B.url", "http://B/", "別のファイル");
    const struct {
        const char* what;
        std::function<void(app::Window&)> prepare;
        const char* folder;
        const char* name;
        const char* comment;
        Strings comments;  // the comment column after the save
    } cases[] = {
        {"favorite at the top",
         [](app::Window&) {},
         "\\",
         "b",
         "新しい",
         {"新しい", "そのまま", "別のファイル"}},
        {"favorite in a folder",
         [](app::Window&) {},
         "\\Links\\",
         "a",
         "改行\nあり",
         {"古い", "改行 あり", "別のファイル"}},
        // Sorted by comment, the changed row stays where it is.
        {"sorted list",
         [](app::Window& w) { w.ListView1_ColumnClick(3); },
         "\\",
         "b",
         "",
         {"", "別のファイル", "そのまま"}},
        // A new favorite is not in the list: no row changes.
        {"new favorite",
         [](app::Window&) {},
         "\\",
         "c",
         "新規",
         {"古い", "そのまま", "別のファイル"}},
        // Only rows of favorites change, never the folder list.
        {"folder list", [](app::Window& w) { w.Command1_Click(); }, "\\", "b", "新しい", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeShortcut(root + "b.url", "http://b/", "古い");
        writeShortcut(root + "Links/a.url", "http://a/", "そのまま");
        app::Window& w = start();
        c.prepare(w);
        view.selected = 1;
        type(Id::Text3, c.name);
        type(Id::Text4, "http://new/");
        type(Id::Text5, c.comment);
        type(Id::Text6, c.folder);
        w.Savefiles();
        EXPECT_EQ(prompts.shown, Strings{});
        EXPECT_EQ(view.column(2), c.comments);
        EXPECT_EQ(w.list().rows(), view.rows);
        EXPECT_EQ(view.selected, 1);  // the row is changed in place
    }
}

TEST_F(FeedbackTest, AFailedSaveLeavesTheRowAsItWas) {
    writeShortcut(root + "b.url", "http://b/", "古い");
    app::Window& w = start();
    fs.unwritable.insert(root + "b.url");
    type(Id::Text3, "b");
    type(Id::Text5, "新しい");
    type(Id::Text6, "\\");
    w.Savefiles();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(view.column(2), Strings{"古い"});
}

TEST(ArgumentPathTest, RelativePathsComeFromTheCurrentFolder) {
    const struct {
        const char* argument;
        const char* current;
        const char* path;
    } cases[] = {
#ifdef _WIN32
        {"", "C:\\Users\\u", ""},
        {"D:\\abs\\News.url", "C:\\Users\\u", "D:\\abs\\News.url"},
        {"News.url", "C:\\Users\\u", "C:\\Users\\u\\News.url"},
        {"News.url", "C:\\Users\\u\\", "C:\\Users\\u\\News.url"},
        {"News.url", "C:\\", "C:\\News.url"},
        {"Links\\News.url", "C:\\Users\\u", "C:\\Users\\u\\Links\\News.url"},
        {"..\\x\\News.url", "C:\\Users\\u", "C:\\Users\\u\\..\\x\\News.url"},
        {"my favorite.url", "C:\\Users\\u", "C:\\Users\\u\\my favorite.url"},
        // The program's own notation stays below the Favorites folder.
        {"\\Links\\News.url", "C:\\Users\\u", "\\Links\\News.url"},
        // An unknown current folder leaves the path as it is.
        {"News.url", "", "News.url"},
#else
        {"", "/home/u", ""},
        {"/abs/News.url", "/home/u", "/abs/News.url"},
        {"News.url", "/home/u", "/home/u/News.url"},
        {"News.url", "/home/u/", "/home/u/News.url"},
        {"Links/News.url", "/", "/Links/News.url"},
        {"../x/News.url", "/home/u", "/home/u/../x/News.url"},
        {"my favorite.url", "/home/u", "/home/u/my favorite.url"},
        // The program's own notation stays below the Favorites folder.
        {"\\Links\\News.url", "/home/u", "\\Links\\News.url"},
        // An unknown current folder leaves the path as it is.
        {"News.url", "", "News.url"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(app::ArgumentPath(c.argument, c.current), c.path);
    }
}

TEST_F(FeedbackTest, ARelativeArgumentShowsTheFavoriteItNames) {
    // The favorite lies outside the Favorites folder, where the shell stood.
    writeShortcut(dir / "elsewhere/News.url", "http://news/", "外");
    writeShortcut(root + "News.url", "http://other/", "中");
    app::Window& w = start(app::ArgumentPath("News.url", dir / "elsewhere"));
    EXPECT_EQ(box(Id::Text4), "http://news/");
    EXPECT_EQ(box(Id::Text5), "外");
    EXPECT_EQ(w.winMode(), 2);
}

}  // namespace
}  // namespace brim::test
