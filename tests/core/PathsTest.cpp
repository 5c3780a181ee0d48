#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "core/Paths.h"
#ifndef _WIN32
#include "TestSupport.h"
#endif

namespace brim::core {
namespace {

const std::string kRoot = "/home/u/Favorites/";
constexpr platform::NativePaths kPosix{platform::PathStyle::Posix};
constexpr platform::NativePaths kWindows{platform::PathStyle::Windows};

bool sameUpToCase(std::string a, std::string b) {
    const auto up = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        });
        return s;
    };
    return up(std::move(a)) == up(std::move(b));
}

// A file system that finds a name in any case, as Windows' does: folders
// (ending in "\\") and the names they list, kept in memory.
class CaseBlindFileSystem final : public platform::FileSystem {
  public:
    std::map<std::string, std::vector<std::string>> folders;

    class Listing final : public platform::OpenFolder {
      public:
        explicit Listing(std::vector<platform::DirEntry> e) : entries_(std::move(e)) {}
        std::optional<std::vector<platform::DirEntry>> entries() override { return entries_; }
        platform::IoResult readFile(const std::string&, std::string&) override {
            return {platform::IoError::NotAFile, 0};
        }

      private:
        std::vector<platform::DirEntry> entries_;
    };

    std::unique_ptr<platform::OpenFolder> openFolder(const std::string& folder) override {
        for (const auto& [name, entries] : folders) {
            if (!sameUpToCase(name, folder)) continue;
            std::vector<platform::DirEntry> listed;
            for (const auto& e : entries)
                listed.push_back({e, 0});
            return std::make_unique<Listing>(std::move(listed));
        }
        return nullptr;
    }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        const auto [folder, name] = SplitAtLastSeparator(path);
        for (const auto& [f, entries] : folders) {
            if (!sameUpToCase(f, std::string(folder))) continue;
            for (const auto& e : entries)
                if (sameUpToCase(e, std::string(name))) return 0u;
        }
        return std::nullopt;
    }
    platform::IoResult readFile(const std::string&, std::string&) override { return fail(); }
    platform::IoResult replaceFile(const std::string&, std::string_view) override { return fail(); }
    platform::IoResult createFolder(const std::string&) override { return fail(); }
    platform::IoResult removeFolder(const std::string&) override { return fail(); }
    platform::IoResult createNewFile(const std::string&, std::string_view) override {
        return fail();
    }
    platform::LockAttempt lockForUpdate(const std::string&) override { return {}; }
    std::optional<std::int64_t> modificationTime(const std::string&) override {
        return std::nullopt;
    }

  private:
    static platform::IoResult fail() { return {platform::IoError::Other, 0}; }
};

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
        EXPECT_EQ(FullPath(kRoot, c.in, kPosix), c.out) << c.in;
}

TEST(FullPath, WindowsRules) {
    const std::string root = "C:\\Users\\u\\Favorites\\";
    const struct {
        std::string in, out;
    } cases[] = {
        {"\\Links\\a.url", "C:\\Users\\u\\Favorites\\Links\\a.url"},
        {"Links/a.url", "C:\\Users\\u\\Favorites\\Links\\a.url"},
        {"\\", root},
        {"D:\\x\\\\y.url", "D:\\x\\y.url"},
        {"d:/x//y.url", "d:\\x\\y.url"},
        {"\\\\server\\share\\a\\\\b.url", "\\\\server\\share\\a\\b.url"},
        {"//server/share/b.url", "\\\\server\\share\\b.url"},
        {"\\\\?\\C:\\long\\a.url", "\\\\?\\C:\\long\\a.url"},
        // A drive without a separator is not absolute.
        {"C:x.url", root + "C:x.url"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPath(root, c.in, kWindows), c.out) << c.in;
    // On POSIX neither a drive nor a double backslash makes a path absolute.
    EXPECT_EQ(FullPath(kRoot, "C:\\x", kPosix), kRoot + "C:/x");
    EXPECT_EQ(FullPath(kRoot, "\\\\server\\s", kPosix), kRoot + "server/s");
}

TEST(NativePaths, RootsAndTrailingSeparators) {
    const struct {
        platform::NativePaths paths;
        std::string path;
        std::size_t root;
        std::string trimmed;
    } cases[] = {
        {kPosix, "/", 1, "/"},
        {kPosix, "/a/b/", 1, "/a/b"},
        {kPosix, "a/", 0, "a"},
        {kPosix, "C:\\", 0, "C:\\"},
        {kWindows, "C:\\", 3, "C:\\"},
        {kWindows, "C:\\a\\", 3, "C:\\a"},
        {kWindows, "z:/a/", 3, "z:/a"},
        {kWindows, "\\\\srv\\share\\", 12, "\\\\srv\\share\\"},
        {kWindows, "\\\\srv\\share\\x\\", 12, "\\\\srv\\share\\x"},
        {kWindows, "\\\\srv", 5, "\\\\srv"},
        {kWindows, "\\Links\\", 0, "\\Links"},
        {kWindows, "1:\\a", 0, "1:\\a"},
        {kWindows, "", 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.paths.rootLength(c.path), c.root) << c.path;
        EXPECT_EQ(c.paths.withoutTrailingSeparator(c.path), c.trimmed) << c.path;
    }
    EXPECT_EQ(kWindows.lastSeparator("C:\\a/b"), 4u);
    EXPECT_EQ(kPosix.lastSeparator("/a\\b"), 0u);
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
    EXPECT_EQ(FolderLabel(kRoot, kRoot, kPosix), "\\");
    EXPECT_EQ(FolderLabel(kRoot, kRoot + "Links/", kPosix), "\\Links\\");
    EXPECT_EQ(FolderLabel(kRoot, kRoot + "A/B/", kPosix), "\\A\\B\\");
}

#ifndef _WIN32
TEST(LongPathName, SpellsSegmentsAsListed) {
    test::TempDir dir;
    test::makeFolders(dir / "News/Sport");
    test::writeFile(dir / "News/Sport/Match.url", "");
    test::SystemFileSystem fs;
    const std::string base = dir.path();
    EXPECT_EQ(LongPathName(fs, base + "News/Sport/Match.url"), base + "News/Sport/Match.url");
    EXPECT_EQ(LongPathName(fs, base + "news/SPORT/match.URL"), base + "News/Sport/Match.url");
    // A segment that is not there stays as given, so the path keeps its meaning.
    EXPECT_EQ(LongPathName(fs, base + "news/Gone/x.url"), base + "News/Gone/x.url");
}
#endif

TEST(FolderLabel, WindowsSeparators) {
    const std::string root = "C:\\Fav\\";
    EXPECT_EQ(FolderLabel(root, root, kWindows), "\\");
    EXPECT_EQ(FolderLabel(root, root + "A\\B/", kWindows), "\\A\\B\\");
}

TEST(LongPathName, CorrectsSpellingWhereCaseIsIgnored) {
    CaseBlindFileSystem fs;
    fs.folders["C:\\"] = {"Users"};
    fs.folders["C:\\Users\\"] = {"Taro"};
    fs.folders["C:\\Users\\Taro\\"] = {"News.url", "news.URL.bak"};
    fs.folders["\\\\srv\\Share\\"] = {"Links"};
    fs.folders["\\\\srv\\Share\\Links\\"] = {"A.url"};
    const struct {
        std::string in, out;
    } cases[] = {
        {"c:\\users\\TARO\\news.url", "c:\\Users\\Taro\\News.url"},
        {"C:/USERS/taro/NEWS.URL", "C:/Users/Taro/News.url"},
        {"C:\\Users\\Taro\\Gone\\x.url", "C:\\Users\\Taro\\Gone\\x.url"},
        // The server and share are not listed; what lies below them is.
        {"\\\\srv\\Share\\links\\a.URL", "\\\\srv\\Share\\Links\\A.url"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LongPathName(fs, c.in, kWindows), c.out) << c.in;
}

TEST(IsExpressibleName, RejectsSeparatorsAndBadUtf8) {
    EXPECT_TRUE(isExpressibleName("ニュース.url"));
    EXPECT_FALSE(isExpressibleName("a\\b.url"));
    EXPECT_FALSE(isExpressibleName("\xFF.url"));
    EXPECT_FALSE(isExpressibleName(""));
}

}  // namespace
}  // namespace brim::core
