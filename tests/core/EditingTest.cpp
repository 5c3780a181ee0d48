#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "CatalogFixture.h"
#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "core/Editing.h"

namespace brim::core {
namespace {

namespace fs = std::filesystem;
using test::cp932;
using test::readFile;

class EditingTest : public test::CatalogFixture {
  protected:
    void SetUp() override { test::makeFolders(root + "Links"); }

    SaveResult save(const std::string& name, const std::string& url, const std::string& comment,
                    const std::string& folder) {
        return Savefiles(catalog, {name, url, comment, folder});
    }
};

TEST_F(EditingTest, SavesTheAddressThenTheComment) {
    const SaveResult r = save("News", "http://news.example/", "daily", "\\Links\\");
    ASSERT_TRUE(r) << describe(r.status);
    EXPECT_EQ(r.path, root + test::native("Links/News.url"));
    EXPECT_EQ(readFile(r.path),
              "[InternetShortcut]\r\nURL=http://news.example/\r\n[CommentKey]\r\nWords=daily\r\n");
    EXPECT_EQ(NameAfterSave(r, {"News", "", "", ""}), "News");
}

TEST_F(EditingTest, ExistingFileKeepsItsOtherLines) {
    const std::string before =
        "[DEFAULT]\r\nBASEURL=http://old/\r\n[InternetShortcut]\r\nURL=http://old/"
        "\r\nIconIndex=0\r\n"
        "[CommentKey]\r\nWords=old\r\n";
    test::writeFile(root + "Links/News.url", before);
    ASSERT_TRUE(save("News", "http://new/", "新しい", "\\Links\\"));
    EXPECT_EQ(readFile(root + "Links/News.url"),
              "[DEFAULT]\r\nBASEURL=http://old/\r\n[InternetShortcut]\r\nURL=http://new/\r\n"
              "IconIndex=0\r\n[CommentKey]\r\nWords=" +
                  cp932("新しい") + "\r\n");
}

TEST_F(EditingTest, NamesAndTargetFolders) {
    const struct {
        std::string name, url, folder, path, nameAfter;
    } cases[] = {
        {"", "portal.test", "\\", "portal.test.url", "portal.test"},
        {"Index.URL", "http://i/", "", "Index.URL", "Index"},
        {"Index.Url", "http://i/", "Links", "Links/Index.Url.url", "Index.Url"},
        {"a", "http://a/", "Links\\", "Links/a.url", "a"},
        {"b", "http://b/", "\\New\\", "New/b.url", "b"},
        {"日本語", "http://j/", "\\Links", "Links/日本語.url", "日本語"},
    };
    for (const auto& c : cases) {
        const SaveResult r = save(c.name, c.url, "", c.folder);
        ASSERT_TRUE(r) << c.name << ": " << describe(r.status);
        EXPECT_EQ(r.path, root + test::native(c.path));
        EXPECT_TRUE(test::exists(root + c.path)) << c.path;
        EXPECT_EQ(NameAfterSave(r, {c.name, c.url, "", c.folder}), c.nameAfter);
    }
    test::TempDir outside;
    const SaveResult r = save("x", "http://x/", "", outside.path() + "Saved");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.path, outside.path() + test::native("Saved/x.url"));
}

TEST_F(EditingTest, RenamingLeavesBothFiles) {
    ASSERT_TRUE(save("Old", "http://x/", "", "\\Links\\"));
    ASSERT_TRUE(save("New", "http://x/", "", "\\Links\\"));
    EXPECT_TRUE(fs::exists(root + "Links/Old.url"));
    EXPECT_TRUE(fs::exists(root + "Links/New.url"));
}

TEST_F(EditingTest, WhatCannotBeSavedIsReportedAndNothingIsWritten) {
    SaveResult r = save("", "", "comment", "\\");
    EXPECT_EQ(r.kind, SaveResult::Kind::NoName);
    EXPECT_FALSE(fs::exists(root + ".url"));

    r = save("", "http://x.example/a", "", "\\");
    EXPECT_EQ(r.kind, SaveResult::Kind::BadName);
    EXPECT_EQ(NameAfterSave(r, {"", "http://x.example/a", "", "\\"}), "");

    r = save("deep", "http://d/", "", "\\One\\Two\\");
    EXPECT_EQ(r.kind, SaveResult::Kind::NotWritten);
    EXPECT_EQ(r.status.io.error, platform::IoError::NotFound);
    EXPECT_FALSE(fs::exists(root + "One"));

    test::writeFile(root + "ro.url", "[InternetShortcut]\r\nURL=http://ro/\r\n");
    chmod((root + "ro.url").c_str(), 0444);
    r = save("ro", "http://changed/", "", "\\");
    EXPECT_EQ(r.status.io.error, platform::IoError::ReadOnly);
    EXPECT_EQ(NameAfterSave(r, {"ro", "", "", ""}), "ro");
    EXPECT_EQ(readFile(root + "ro.url"), "[InternetShortcut]\r\nURL=http://ro/\r\n");

    fs.unwritable.insert(root + "full.url");
    r = save("full", "http://f/", "", "");
    EXPECT_EQ(r.status.io.error, platform::IoError::NoSpace);
    EXPECT_FALSE(fs::exists(root + "full.url"));

    r = save("emoji", "http://e/", "\U0001F600", "");
    EXPECT_EQ(r.status.kind, WriteStatus::Kind::Unencodable);
}

TEST_F(EditingTest, OmittedFieldsKeepWhatTheFileHolds) {
    const std::string path = root + "Links/Keep.url";
    const std::string base = "[InternetShortcut]\r\nURL=http://old/\r\n[CommentKey]\r\nWords=";
    const struct {
        std::optional<std::string> url, comment;
        std::string expected;
    } cases[] = {
        {std::nullopt, "new", "[InternetShortcut]\r\nURL=http://old/\r\n[CommentKey]\r\nWords=new"},
        {"http://new/", std::nullopt,
         "[InternetShortcut]\r\nURL=http://new/\r\n[CommentKey]\r\nWords=old"},
        {"http://new/", "", "[InternetShortcut]\r\nURL=http://new/\r\n[CommentKey]\r\nWords="},
        {std::nullopt, std::nullopt, base + "old"},
    };
    for (const auto& c : cases) {
        test::writeFile(path, base + "old\r\n");
        ASSERT_TRUE(Savefiles(catalog, {"Keep", c.url, c.comment, "\\Links\\"}));
        EXPECT_EQ(readFile(path), c.expected + "\r\n");
    }
    // A file the browser made gets no comment section it was not given.
    test::writeFile(path, "[InternetShortcut]\r\nURL=http://old/\r\n");
    ASSERT_TRUE(Savefiles(catalog, {"Keep", "http://new/", std::nullopt, "\\Links\\"}));
    EXPECT_EQ(readFile(path), "[InternetShortcut]\r\nURL=http://new/\r\n");
    // A new file gets both keys, the one not given empty.
    ASSERT_TRUE(Savefiles(catalog, {"Fresh", "http://f/", std::nullopt, "\\Links\\"}));
    EXPECT_EQ(readFile(root + "Links/Fresh.url"),
              "[InternetShortcut]\r\nURL=http://f/\r\n[CommentKey]\r\nWords=\r\n");
}

TEST_F(EditingTest, HiddenNamesAreRefused) {
    for (const char* name : {".url", ".hidden", ".x.URL"}) {
        const SaveResult r = save(name, "http://h/", "", "\\");
        EXPECT_EQ(r.kind, SaveResult::Kind::HiddenName) << name;
    }
    EXPECT_EQ(save("", ".dot", "", "\\").kind, SaveResult::Kind::HiddenName);
    EXPECT_TRUE(fs::is_empty(root + "Links"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1);
}

TEST_F(EditingTest, AFailedSaveCreatesNeitherFileNorFolder) {
    test::writeFile(root + "Links/Old.url", "[InternetShortcut]\r\nURL=http://old/\r\n");
    SaveResult r = save("New", "http://new/", "\U0001F600", "\\Fresh\\");
    EXPECT_EQ(r.kind, SaveResult::Kind::NotWritten);
    EXPECT_FALSE(fs::exists(root + "Fresh"));

    fs.unwritable.insert(root + test::native("Other/New.url"));
    r = save("New", "http://new/", "fine", "\\Other\\");
    EXPECT_EQ(r.status.io.error, platform::IoError::NoSpace);
    EXPECT_FALSE(fs::exists(root + "Other"));
    // A folder that was there stays.
    fs.unwritable.insert(root + test::native("Links/New.url"));
    r = save("New", "http://new/", "fine", "\\Links\\");
    EXPECT_EQ(r.kind, SaveResult::Kind::NotWritten);
    EXPECT_TRUE(fs::exists(root + "Links/Old.url"));
    EXPECT_FALSE(fs::exists(root + "Links/New.url"));
}

TEST_F(EditingTest, FavoritePathOfTheBoxes) {
    EXPECT_EQ(FavoritePath(catalog, "\\Links\\", "News"), root + test::native("Links/News.url"));
    EXPECT_EQ(FavoritePath(catalog, "\\", ""), root + ".url");
    const std::string elsewhere = test::native(dir / "abs/");
    EXPECT_EQ(FavoritePath(catalog, elsewhere, "x"), elsewhere + "x.url");
}

class PruneTest : public EditingTest {
  protected:
    std::vector<std::string> prune(bool dryRun = false) {
        std::vector<std::string> removed;
        problems.clear();
        RemoveEmptyFolders(
            catalog, dryRun, [&](const std::string& p) { removed.push_back(p); }, problems);
        return removed;
    }
    std::vector<PruneProblem> problems;
};

#ifndef _WIN32
// Symbolic links and folder permissions are POSIX's.
TEST_F(PruneTest, RemovesEmptySubtreesAsOneRowEach) {
    test::writeShortcut(root + "Links/a.url", "http://a/");
    test::makeFolders(root + "Links/Empty");
    test::makeFolders(root + "Nested/A/B/C");
    test::makeFolders(root + "Nested/D");
    test::writeFile(root + "Zero/zero.url", "");
    test::makeFolders(root + ".hidden");
    test::makeFolders(root + "HasHidden/.h");
    test::makeFolders(root + "ReadOnly");
    chmod((root + "ReadOnly").c_str(), 0555);
    test::makeFolders(dir / "Outside/Empty");
    ASSERT_EQ(symlink((dir / "Outside").c_str(), (root + "Link").c_str()), 0);

    EXPECT_EQ(prune(true), (std::vector<std::string>{root + "Nested", root + "Links/Empty"}));
    EXPECT_TRUE(fs::exists(root + "Nested/A/B/C"));
    EXPECT_EQ(prune(), (std::vector<std::string>{root + "Nested", root + "Links/Empty"}));
    EXPECT_TRUE(problems.empty());
    EXPECT_FALSE(fs::exists(root + "Nested"));
    EXPECT_FALSE(fs::exists(root + "Links/Empty"));
    for (const char* kept :
         {"Links/a.url", "Zero/zero.url", ".hidden", "HasHidden/.h", "ReadOnly"}) {
        EXPECT_TRUE(fs::exists(root + kept)) << kept;
    }
    EXPECT_TRUE(fs::exists(dir / "Outside/Empty"));
    EXPECT_TRUE(fs::is_symlink(root + "Link"));
    EXPECT_EQ(prune(), std::vector<std::string>{});
}
#endif

TEST_F(PruneTest, TheFavoritesFolderStaysEvenWhenEmpty) {
    fs::remove_all(root + "Links");
    EXPECT_EQ(prune(), std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(root));
}

TEST_F(PruneTest, FailuresAreReportedOnceAndTheWalkGoesOn) {
    test::makeFolders(root + test::native("A/Stuck"));
    test::writeFile(root + "A/keep.url", "x");
    test::makeFolders(root + test::native("B/Empty"));
    test::writeFile(root + "B/keep.url", "x");
    test::makeFolders(root + "C/Locked/Deeper");
    test::writeFile(root + "C/keep.url", "x");
    fs.unremovable.insert(root + test::native("A/Stuck"));
    fs.unreadable.insert(root + test::native("C/Locked/"));
    EXPECT_EQ(prune(), (std::vector<std::string>{root + "Links", root + test::native("B/Empty")}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].path, root + test::native("C/Locked/"));
    EXPECT_EQ(problems[1].path, root + test::native("A/Stuck"));
    EXPECT_TRUE(fs::exists(root + test::native("A/Stuck")));
}

TEST_F(PruneTest, EveryOneOfManySubfoldersIsExamined) {
    for (int i = 0; i < 70; ++i)
        test::makeFolders(root + "Many/F" + std::to_string(i));
    test::writeFile(root + "Many/keep.url", "x");
    EXPECT_EQ(prune().size(), 71u);  // 70 and the empty Links
    EXPECT_TRUE(fs::is_empty(root + "Many/") == false);
}

}  // namespace
}  // namespace brim::core
