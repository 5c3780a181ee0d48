#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "TestSupport.h"
#include "platform/posix/FreedesktopTrash.h"

namespace brim::platform {
namespace {

namespace fs = std::filesystem;

TEST(FreedesktopTrash, MovesTheFileWithItsOriginalPath) {
    test::TempDir dir;
    // A home without ~/.local/share: the trash folders are made as needed.
    FreedesktopTrash trash(dir / "home/.local/share");
    const std::string file = dir / "Favorites/ニュース 1%.url";
    test::writeFile(file, "[InternetShortcut]\r\nURL=http://x/\r\n");
    ASSERT_TRUE(trash.moveToTrash(file));
    EXPECT_FALSE(fs::exists(file));
    const std::string base = dir / "home/.local/share/Trash/";
    EXPECT_EQ(test::readFile(base + "files/ニュース 1%.url"),
              "[InternetShortcut]\r\nURL=http://x/\r\n");
    const std::string info = test::readFile(base + "info/ニュース 1%.url.trashinfo");
    EXPECT_TRUE(std::regex_match(
        info, std::regex("\\[Trash Info\\]\nPath=" + percentEncodePath(file) +
                         "\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << info;
    EXPECT_EQ(percentEncodePath("/a b/ニ%.url"), "/a%20b/%E3%83%8B%25.url");
    EXPECT_EQ(fs::status(base).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(FreedesktopTrash, TwoFilesOfOneNameBothSurvive) {
    test::TempDir dir;
    FreedesktopTrash trash(dir / "data");
    test::writeFile(dir / "A/same.url", "first");
    test::writeFile(dir / "B/same.url", "second");
    test::writeFile(dir / "C/same.url", "third");
    ASSERT_TRUE(trash.moveToTrash(dir / "A/same.url"));
    ASSERT_TRUE(trash.moveToTrash(dir / "B/same.url"));
    ASSERT_TRUE(trash.moveToTrash(dir / "C/same.url"));
    EXPECT_EQ(test::readFile(dir / "data/Trash/files/same.url"), "first");
    EXPECT_EQ(test::readFile(dir / "data/Trash/files/same.2.url"), "second");
    EXPECT_EQ(test::readFile(dir / "data/Trash/files/same.3.url"), "third");
    EXPECT_NE(test::readFile(dir / "data/Trash/info/same.2.url.trashinfo").find(dir / "B/same.url"),
              std::string::npos);
}

TEST(FreedesktopTrash, MissingFilesAndFoldersAreRefused) {
    test::TempDir dir;
    FreedesktopTrash trash(dir / "data");
    EXPECT_EQ(trash.moveToTrash(dir / "missing.url").error, IoError::NotFound);
    test::makeFolders(dir / "folder");
    EXPECT_EQ(trash.moveToTrash(dir / "folder").error, IoError::NotAFile);
    EXPECT_TRUE(fs::exists(dir / "folder"));
    EXPECT_FALSE(fs::exists(dir / "data/Trash/info/missing.url.trashinfo"));
}

}  // namespace
}  // namespace brim::platform
