#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Paths.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::core {
namespace {

const std::string kRoot = "/home/u/Favorites/";

TEST(FullPath, Examples) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\\Links\\a.url", "/home/u/Favorites/Links/a.url"},
        {"Links\\a.url", "/home/u/Favorites/Links/a.url"},
        {"\\", "/home/u/Favorites/"},
        {"", "/home/u/Favorites/"},
        {"/tmp//x\\\\\\\\y", "/tmp/x/y"},
        {"\\A\\B\\\\c.url", "/home/u/Favorites/A/B/c.url"},
        {"ニュース\\記事.url", "/home/u/Favorites/ニュース/記事.url"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPath(kRoot, c.in), c.out) << c.in;
}

TEST(LastSeparatorPos, CountsCharactersAndBothSeparators) {
    EXPECT_EQ(LastSeparatorPos("\\Links\\a.url"), 7);
    EXPECT_EQ(LastSeparatorPos("a.url"), 0);
    EXPECT_EQ(LastSeparatorPos(""), 0);
    EXPECT_EQ(LastSeparatorPos("/x/y"), 3);
    EXPECT_EQ(LastSeparatorPos("\\日本\\a"), 4);
}

TEST(StripExtension, Examples) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"News.url", "News"},
        {"a.b.url", "a.b"},
        {"page.html", "page.html"},
        {"end.", "end"},
        {".url", ""},
        {"archive.tar.gz", "archive.tar"},
        {"readme", "readme"},
        {"記事.日本語", "記事"},
        {"記事.日本語だ", "記事.日本語だ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripExtension(c.in), c.out) << c.in;
}

TEST(FolderLabel, Examples) {
    EXPECT_EQ(FolderLabel(kRoot, kRoot), "\\");
    EXPECT_EQ(FolderLabel(kRoot, kRoot + "Links/"), "\\Links\\");
    EXPECT_EQ(FolderLabel(kRoot, kRoot + "A/B/"), "\\A\\B\\");
}

TEST(LongPathName, SpellsSegmentsAsListed) {
    test::TempDir dir;
    test::makeFolders(dir / "News/Sport");
    test::writeFile(dir / "News/Sport/Match.url", "");
    platform::PosixFileSystem fs;
    const std::string base = dir.path();
    EXPECT_EQ(LongPathName(fs, base + "News/Sport/Match.url"), base + "News/Sport/Match.url");
    EXPECT_EQ(LongPathName(fs, base + "news/SPORT/match.URL"), base + "News/Sport/Match.url");
    // A segment that is not there stays as given, so the path keeps its meaning.
    EXPECT_EQ(LongPathName(fs, base + "news/Gone/x.url"), base + "News/Gone/x.url");
}

TEST(IsExpressibleName, RejectsSeparatorsAndBadUtf8) {
    EXPECT_TRUE(isExpressibleName("ニュース.url"));
    EXPECT_FALSE(isExpressibleName("a\\b.url"));
    EXPECT_FALSE(isExpressibleName("\xFF.url"));
    EXPECT_FALSE(isExpressibleName(""));
}

}  // namespace
}  // namespace brim::core
