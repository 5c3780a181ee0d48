#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "CatalogFixture.h"
#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "core/Catalog.h"

namespace brim::core {
namespace {

using test::writeFile;
using test::writeShortcut;

class CatalogTest : public test::CatalogFixture {
  protected:
    std::vector<std::string> problems;

    void SetUp() override { test::makeFolders(root); }

    // Rows as "name|folder|comment".
    std::vector<std::string> rows() {
        std::vector<FavoriteItem> items;
        EXPECT_TRUE(
            catalog.allFavorites(items, [&](const WalkProblem& p) { problems.push_back(p.path); }));
        std::vector<std::string> out;
        for (const auto& r : items)
            out.push_back(r.name + "|" + r.folder + "|" + r.comment);
        return out;
    }
    using Rows = std::vector<std::string>;
};

TEST_F(CatalogTest, EmptyFavoritesFolderHasNoRows) {
    EXPECT_EQ(rows(), Rows{});
}

TEST_F(CatalogTest, FilesFirstThenSubfoldersLastListedFirst) {
    writeShortcut(root + "a.url", "http://a/", "comment a");
    writeShortcut(root + "b.url", "http://b/");
    writeShortcut(root + "A/x.url", "http://x/", "エックス");
    writeShortcut(root + "B/y.url", "http://y/");
    writeShortcut(root + "B/Sport/z.url", "http://z/", "z");
    EXPECT_EQ(rows(), (Rows{"a.url|\\|comment a", "b.url|\\|", "y.url|\\B\\|",
                            "z.url|\\B\\Sport\\|z", "x.url|\\A\\|エックス"}));
}

#ifndef _WIN32
// Windows finds "A.url" and "a.url" as one file.
TEST_F(CatalogTest, ListingOrderIgnoresAsciiCaseThenBytes) {
    for (const char* name : {"b.url", "_x.url", "a.url", "A.url", "ニュース.url"}) {
        writeFile(root + name, "");
    }
    EXPECT_EQ(rows(),
              (Rows{"A.url|\\|", "a.url|\\|", "b.url|\\|", "_x.url|\\|", "ニュース.url|\\|"}));
}
#endif

#ifndef _WIN32
// FIFOs, symbolic links and folder permissions are POSIX's.
TEST_F(CatalogTest, EveryPlainFileIsARowButHiddenAndSpecialOnesAreNot) {
    writeFile(root + "notes.txt", "just text");
    writeFile(root + ".desktop.ini", "[CommentKey]\r\nWords=hidden\r\n");
    writeFile(root + "ro.url", "[CommentKey]\r\nWords=read-only\r\n");
    chmod((root + "ro.url").c_str(), 0444);
    ASSERT_EQ(mkfifo((root + "pipe.url").c_str(), 0644), 0);
    writeFile(dir / "outside.url", "[CommentKey]\r\nWords=linked\r\n");
    ASSERT_EQ(symlink((dir / "outside.url").c_str(), (root + "link.url").c_str()), 0);
    ASSERT_EQ(symlink((dir / "gone.url").c_str(), (root + "dangling.url").c_str()), 0);
    EXPECT_EQ(rows(), (Rows{"link.url|\\|linked", "notes.txt|\\|", "ro.url|\\|read-only"}));
}
#endif

#ifndef _WIN32
// FIFOs, symbolic links and folder permissions are POSIX's.
TEST_F(CatalogTest, OnlyPlainFoldersAreEntered) {
    writeShortcut(root + "Plain/in.url", "http://in/");
    writeShortcut(root + ".Hidden/h.url", "http://h/");
    writeShortcut(root + "ReadOnly/r.url", "http://r/");
    chmod((root + "ReadOnly").c_str(), 0555);
    writeShortcut(dir / "Elsewhere/e.url", "http://e/");
    ASSERT_EQ(symlink((dir / "Elsewhere").c_str(), (root + "Linked").c_str()), 0);
    ASSERT_EQ(symlink(root.c_str(), (root + "Plain/Loop").c_str()), 0);
    EXPECT_EQ(rows(), (Rows{"in.url|\\Plain\\|"}));
}
#endif

TEST_F(CatalogTest, EnteresEveryOneOfManySubfolders) {
    for (int i = 0; i < 70; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "F%02d", i);
        writeFile(root + name + "/f.url", "");
    }
    const Rows r = rows();
    ASSERT_EQ(r.size(), 70u);
    EXPECT_EQ(r.front(), "f.url|\\F69\\|");
    EXPECT_EQ(r.back(), "f.url|\\F00\\|");
}

TEST_F(CatalogTest, UnreadableFolderIsSkippedAndReported) {
    writeShortcut(root + "A/a.url", "http://a/");
    writeShortcut(root + "B/b.url", "http://b/");
    writeShortcut(root + "B/Deep/d.url", "http://d/");
    fs.unreadable.insert(root + test::native("B/"));
    EXPECT_EQ(rows(), (Rows{"a.url|\\A\\|"}));
    EXPECT_EQ(problems, (std::vector<std::string>{root + test::native("B/")}));
}

#ifndef _WIN32
// Windows names hold neither "\\" nor bytes that are not text.
TEST_F(CatalogTest, NamesTheNotationCannotHoldAreSkippedAndReported) {
    writeFile(root + "back\\slash.url", "");
    writeFile(root + "bad\xFF.url", "");
    writeFile(root + "ok.url", "");
    // A name in no encoding is listed with U+FFFD; one holding "\\" cannot be.
    EXPECT_EQ(rows(), (Rows{"bad\uFFFD.url|\\|", "ok.url|\\|"}));
    EXPECT_EQ(problems, (std::vector<std::string>{root + "back\\slash.url", root + "bad\xFF.url"}));
}
#endif

TEST_F(CatalogTest, MissingRootFails) {
    Catalog missing{fs, profile, dir / "nothing/"};
    std::vector<FavoriteItem> items{{"stale", "\\", "", "", ""}};
    EXPECT_FALSE(missing.allFavorites(items));
    EXPECT_TRUE(items.empty());
}

TEST_F(CatalogTest, SecondFillHoldsOnlyItsOwnRows) {
    writeFile(root + "a.url", "");
    std::vector<FavoriteItem> items;
    ASSERT_TRUE(catalog.allFavorites(items));
    writeFile(root + "b.url", "");
    ASSERT_TRUE(catalog.allFavorites(items));
    EXPECT_EQ(items.size(), 2u);
}

TEST_F(CatalogTest, DeepTreeIsWalked) {
    std::string path = root;
    for (int i = 0; i < 200; ++i)
        path += "d/";
    writeFile(path + "deep.url", "");
    const Rows r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].size(), std::string("deep.url|\\|").size() + 400);
}

TEST_F(CatalogTest, ListDirFromASubfolderKeepsLabelsRelativeToTheRoot) {
    writeShortcut(root + "A/B/c.url", "http://c/", "c");
    writeShortcut(root + "z.url", "http://z/");
    std::vector<FavoriteItem> items;
    ASSERT_TRUE(
        catalog.ListDir(root + test::native("A/"), [&](FavoriteItem&& r) { items.push_back(r); }));
    EXPECT_EQ(items, (std::vector<FavoriteItem>{{"c.url", "\\A\\B\\", "c", "http://c/",
                                                 root + test::native("A/B/c.url")}}));
}

}  // namespace
}  // namespace brim::core

namespace brim::core {
namespace {

TEST_F(CatalogTest, FolderLabelsInWalkOrder) {
    test::makeFolders(root + "A/A1");
    test::makeFolders(root + "B");
    test::makeFolders(root + ".hidden/x");
    std::vector<std::string> labels;
    ASSERT_TRUE(catalog.ListFolder(root, [&](std::string&& l) { labels.push_back(l); }));
    EXPECT_EQ(labels, (std::vector<std::string>{"\\", "\\B\\", "\\A\\", "\\A\\A1\\"}));
}

TEST_F(CatalogTest, FieldsAsTheEditBoxesShowThem) {
    writeShortcut(root + "Links/News.url", "http://news/", "daily");
    writeShortcut(root + "a.url", "http://a/");
    writeFile(root + "page.html", "<html>");
    const struct {
        std::string path;
        FavoriteFields fields;
    } cases[] = {
        {"\\Links\\News.url", {"\\Links\\", "News", "http://news/", "daily"}},
        {"\\a.url", {"\\", "a", "http://a/", ""}},
        {"\\page.html", {"\\", "page.html", "", ""}},
        {root + "Links/News.url", {root + "Links/", "News", "http://news/", "daily"}},
        {"\\Links\\gone.url", {"\\Links\\", "gone", "", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(catalog.fieldsOf(c.path), c.fields) << c.path;
}

}  // namespace
}  // namespace brim::core
