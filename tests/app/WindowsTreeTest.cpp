// The window over a Favorites tree made on Windows and unpacked on Linux.

#include <algorithm>
#include <filesystem>

#include "WindowFixture.h"
#include "WindowsTree.h"
#include "core/Paths.h"

namespace brim::test {
namespace {

using app::Id;

class WindowsTreeWindow : public WindowFixture {
  protected:
    std::vector<TreeFavorite> tree = makeWindowsTree(root);

    // The row of `f` in the list shown, -1 when none.
    int rowOf(const TreeFavorite& f) const {
        for (std::size_t i = 0; i < view.rows.size(); ++i) {
            if (view.rows[i][0] == f.name && view.rows[i][1] == f.folder)
                return static_cast<int>(i);
        }
        return -1;
    }
    std::size_t messagesSaying(const std::string& text) const {
        return static_cast<std::size_t>(
            std::count_if(prompts.shown.begin(), prompts.shown.end(),
                          [&](const std::string& s) { return s.find(text) != s.npos; }));
    }
};

TEST_F(WindowsTreeWindow, ListAndSearchShowEveryFavoriteAndSayOncePerFillWhatWasDecoded) {
    app::Window& w = start();
    const struct {
        const char* what;
        std::function<void()> fill;
    } fills[] = {
        {"list", [&] { w.allFile(); }},
        {"search", [&] { search("example"); }},
    };
    for (const auto& fill : fills) {
        prompts.shown.clear();
        fill.fill();
        EXPECT_EQ(view.rows.size(), tree.size()) << fill.what;
        EXPECT_EQ(view.count, "ファイル数: 6") << fill.what;
        for (const auto& f : tree)
            EXPECT_GE(rowOf(f), 0) << fill.what << ": " << f.name;
        ASSERT_EQ(prompts.shown.size(), 1u) << fill.what;
        EXPECT_NE(lastShown().find("CP932 の名前 2 件"), std::string::npos) << lastShown();
        EXPECT_NE(lastShown().find("ファイル名をUTF-8に変換"), std::string::npos);
        EXPECT_NE(lastShown().find("名前 1 件は「\uFFFD」"), std::string::npos) << lastShown();
    }
    prompts.shown.clear();
    search("News");
    EXPECT_EQ(view.rows.size(), 1u);
    EXPECT_TRUE(prompts.shown.empty()) << lastShown();
}

TEST_F(WindowsTreeWindow, EachRowIsShownSavedAndDeletedAsItsOwnFile) {
    app::Window& w = start();
    w.allFile();
    // Sorted by name, so that rows and files no longer stand in walk order.
    w.ListView1_ColumnClick(1);
    for (auto& f : tree) {
        const int row = rowOf(f);
        ASSERT_GE(row, 0) << f.name;
        w.ListView1_Click(row);
        EXPECT_EQ(box(Id::Text2), f.folder);
        EXPECT_EQ(box(Id::Text3), core::StripExtension(f.name));
        EXPECT_EQ(box(Id::Text4), f.url) << f.name;
        EXPECT_EQ(box(Id::Text5), f.comment) << f.name;
        // Saved as shown, then with a new comment: the same one file each time.
        w.Savefiles();
        f.comment += f.comment.empty() ? "追記" : " 追記";
        type(Id::Text5, f.comment);
        w.Savefiles();
        EXPECT_EQ(box(Id::Text3), core::StripExtension(f.name));
        EXPECT_EQ(filesBelow(root), filesOf(tree)) << f.name;
        EXPECT_EQ(profile.ReadShortcutComment(root + f.file), f.comment) << f.name;
        // The row of the file saved shows what it now holds.
        EXPECT_EQ(view.rows[static_cast<std::size_t>(row)][2], f.comment) << f.name;
    }
    for (const auto& f : tree) {
        w.ListView1_Click(rowOf(f));
        w.Movetrash();
        EXPECT_FALSE(std::filesystem::exists(root + f.file)) << f.name << " " << lastShown();
    }
    EXPECT_TRUE(filesBelow(root).empty());
    EXPECT_EQ(filesBelow(root, true).size(), 4u);
}

TEST_F(WindowsTreeWindow, FilesShownAlikeAreEachShownSavedAndDeletedAsTheirOwn) {
    // A name in the code page beside its UTF-8 twin, and two names in no
    // encoding: each pair is listed as one name twice.
    const std::string twins = root + "Twins/";
    const std::vector<std::pair<std::string, std::string>> files = {
        {twins + "表示.url", "http://utf8.example/"},
        {twins + cp932("表示.url"), "http://codepage.example/"},
        {twins + "odd\xFE.url", "http://fe.example/"},
        {twins + "odd\xFF.url", "http://ff.example/"},
    };
    for (const auto& [file, url] : files)
        writeShortcut(file, url);
    app::Window& w = start();
    w.allFile();
    std::vector<int> rows;
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        if (view.rows[i][1] == "\\Twins\\") rows.push_back(static_cast<int>(i));
    }
    ASSERT_EQ(rows.size(), files.size());
    // Each row shows its own file, and a new comment goes into that file alone.
    for (const int row : rows) {
        w.ListView1_Click(row);
        type(Id::Text5, "of " + box(Id::Text4));
        w.Savefiles();
        EXPECT_EQ(view.rows[static_cast<std::size_t>(row)][2], "of " + box(Id::Text4));
    }
    for (const auto& [file, url] : files)
        EXPECT_EQ(profile.ReadShortcutComment(file), "of " + url) << url;
    // Deleting a row moves its file and no other.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        w.ListView1_Click(rows[i]);
        const std::string url = box(Id::Text4);
        w.Movetrash();
        std::size_t left = 0;
        for (const auto& [file, fileUrl] : files) {
            const bool there = std::filesystem::exists(file);
            left += there ? 1 : 0;
            if (fileUrl == url) {
                EXPECT_FALSE(there) << url;
            }
        }
        EXPECT_EQ(left, files.size() - i - 1) << url;
    }
}

TEST_F(WindowsTreeWindow, ExportsWriteEveryRow) {
    app::Window& w = start();
    w.allFile();
    makeFolders(folders.desktop());
    const struct {
        const char* name;
        std::function<void()> run;
        const char* file;
    } exports[] = {
        {"html", [&] { w.mkHTML_Click(); }, "h"},
        {"csv", [&] { w.toCSV_Click(); }, "c"},
        {"bookmarks", [&] { w.toBookmarks_Click(); }, "b"},
    };
    for (const auto& e : exports) {
        prompts.inputAnswers = {std::string(e.file)};
        e.run();
        const std::string written = readFile(folders.desktop() + e.file +
                                             (e.name == std::string("csv") ? ".csv" : ".html"));
        for (const auto& f : tree)
            EXPECT_NE(written.find(f.url), std::string::npos) << e.name << " " << f.name;
        EXPECT_EQ(written.find("ShellClassInfo"), std::string::npos) << e.name;
    }
    EXPECT_EQ(filesBelow(root), filesOf(tree));
}

TEST_F(WindowsTreeWindow, FixingNamesAsksFirstThenRenamesAndFillsAgain) {
    app::Window& w = start();
    const auto before = filesBelow(root, true);
    prompts.shown.clear();
    prompts.confirmAnswers = {false};
    w.fixNames_Click();
    EXPECT_EQ(filesBelow(root, true), before);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "CP932 の名前 2 件を UTF-8 の名前に変換しますか？");

    prompts.confirmAnswers = {true};
    w.fixNames_Click();
    EXPECT_TRUE(std::filesystem::exists(root + "日本語/表示.url"));
    EXPECT_EQ(messagesSaying("2 件の名前を UTF-8 に変換しました。"), 1u);
    // The name in no encoding is named, with why it stayed.
    EXPECT_EQ(messagesSaying("\\Links\\bad\uFFFD.url（どの文字コードでも読めません。）"), 1u);
    // The list was filled again: only the name in no encoding is still told of.
    EXPECT_EQ(view.rows.size(), tree.size());
    EXPECT_NE(lastShown().find("名前 1 件は"), std::string::npos) << lastShown();
    EXPECT_EQ(lastShown().find("CP932"), std::string::npos) << lastShown();

    prompts.shown.clear();
    w.fixNames_Click();
    EXPECT_EQ(messagesSaying("UTF-8 に変換できる名前はありません。"), 1u);
}

}  // namespace
}  // namespace brim::test
