// The index of the favorites against the walks over the same files: what it
// finds, in what order, and what it holds after the files changed.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "CatalogFixture.h"
#include "app/FavoriteIndex.h"
#include "core/RowCache.h"

namespace brim::test {
namespace {

class FavoriteIndexTest : public CatalogFixture {
  protected:
    FavoriteIndexTest() {
        writeShortcut(root + "News.url", "https://news.example/", "Morning paper");
        writeShortcut(root + "a.url", "http://A.example/path", "ａｂｃ full width");
        writeFile(root + "notes.txt", "no section at all");
        writeShortcut(native(root + "Links/Mail.url"), "mailto:me@example.com", "MAIL box");
        writeShortcut(native(root + "Links/Sport/Score.url"), "https://score.example/", "");
        writeShortcut(native(root + "B/x y.url"), "https://xy.example/?q=x+y", "a \"quoted\" one");
        writeFile(native(root + "B/damaged.url"),
                  "\xff\xfe[InternetShortcut\r\nURL=http://broken\r\n[CommentKey]\r\nWords=");
        writeFile(native(root + "B/utf16.url"),
                  std::string("\xff\xfe[\0I\0n\0t\0e\0r\0n\0e\0t\0S\0h\0o\0r\0t\0c\0u\0t\0]\0\r\0"
                              "\n\0U\0R\0L\0=\0h\0t\0t\0p\0:\0/\0/\0w\0i\0d\0e\0/\0\r\0\n\0",
                              60));
        writeShortcut(native(root + "B/C/日本語.url"), "https://jp.example/", "東京 ニュース");
        makeFolders(native(root + "Empty/"));
#ifndef _WIN32
        // A name in the code page, as a zip unpacked here leaves it.
        writeShortcut(native(root + "B/C/") + cp932("表示.url"), "https://cp.example/", "ソ");
#endif
    }

    std::vector<core::FavoriteItem> searched(const core::Catalog& over,
                                             const std::vector<std::string>& keys,
                                             const core::SearchOptions& options) {
        std::vector<core::FavoriteItem> rows;
        core::Search(over, mapper).SearchDir(root, keys, options, [&](core::FavoriteItem&& r) {
            rows.push_back(std::move(r));
        });
        return rows;
    }

    static std::vector<core::FavoriteItem> asItems(const app::FavoriteIndex::Found& found) {
        std::vector<core::FavoriteItem> rows;
        for (std::size_t i = 0; i < found.rows.size(); ++i) {
            const app::Row& r = found.rows[i];
            rows.push_back({r[0].str(), r[1].str(), r[2].str(), {}, found.files[i].str()});
        }
        return rows;
    }
    // What the list shows of the walk's rows: everything but the address.
    static std::vector<core::FavoriteItem> shown(std::vector<core::FavoriteItem> rows) {
        for (auto& r : rows)
            r.url.clear();
        return rows;
    }
    std::vector<core::FavoriteItem> walked(const core::Catalog& over) {
        std::vector<core::FavoriteItem> rows;
        over.allFavorites(rows);
        return shown(std::move(rows));
    }
};

TEST_F(FavoriteIndexTest, FindsWhatTheSearchOfTheFilesFinds) {
    app::FavoriteIndex index(catalog, mapper);
    ASSERT_TRUE(index.walk({}));
    const std::vector<std::string> texts = {"news",
                                            "NEWS",
                                            "a",
                                            "\\b\\",
                                            "\\",
                                            "example",
                                            "EXAMPLE/ ",
                                            "url mail",
                                            "url\" \"mail",
                                            "\"x y\"",
                                            "\"",
                                            "\"\"",
                                            "ａｂｃ",
                                            "ＡＢＣ",
                                            "abc",
                                            "東京",
                                            "broken",
                                            "wide",
                                            "ソ",
                                            "表示",
                                            "paper sport",
                                            "score.url https",
                                            "   ",
                                            "url http",
                                            "\\links\\sport\\ score",
                                            "\"\\ news\"",
                                            "\"sport\\ score.url https\"",
                                            "\"mail box\""};
    const std::vector<core::SearchFields> fields = {
        {1, 1, 1, 1}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1},
        {0, 1, 1, 0}, {2, 1, 2, 1}, {1, 0, 1, 0}, {0, 0, 0, 0}, {2, 2, 2, 2}};
    int compared = 0, nonEmpty = 0;
    for (const auto& text : texts) {
        for (const auto& f : fields) {
            for (const bool fold : {true, false}) {
                for (const bool any : {true, false}) {
                    const core::SearchOptions options{f, fold, any};
                    const auto expected =
                        shown(searched(catalog, core::SplitKeywords(text), options));
                    const auto found = asItems(index.search(core::SplitKeywords(text), options));
                    EXPECT_EQ(found, expected)
                        << "\"" << text << "\" fields " << f.folder << f.name << f.address
                        << f.comment << (fold ? " folded" : "") << (any ? " OR" : " AND");
                    ++compared;
                    nonEmpty += !expected.empty();
                }
            }
        }
    }
    // The table is worth its name only when many of its searches find something.
    EXPECT_GT(nonEmpty, compared / 5);
}

TEST_F(FavoriteIndexTest, KeepsAsManyKeywordsAsTheSearchDoes) {
    app::FavoriteIndex index(catalog, mapper);
    ASSERT_TRUE(index.walk({}));
    // The keyword past the limit alone would find a row.
    std::string text;
    for (std::size_t i = 0; i < core::kMaxSearchKeys; ++i)
        text += "zz" + std::to_string(i) + " ";
    text += "news";
    const core::SearchOptions options;
    const auto keys = core::SplitKeywords(text);
    EXPECT_EQ(asItems(index.search(keys, options)), shown(searched(catalog, keys, options)));
    EXPECT_TRUE(index.search({}, options).rows.empty());
    // An empty keyword, which no typed text gives, is in every match text.
    const auto every = asItems(index.search({""}, options));
    EXPECT_EQ(every, shown(searched(catalog, {""}, options)));
    EXPECT_EQ(every, walked(catalog));
}

TEST_F(FavoriteIndexTest, FolderReadAgainHoldsWhatAWalkFinds) {
    struct Change {
        const char* what;
        std::function<void(const std::string& root)> make;
        std::vector<std::string> folders;  // told to the index, below the root
    };
    const std::vector<Change> changes = {
        {"comment rewritten, same size",
         [](const std::string& r) {
             writeShortcut(native(r + "Links/Mail.url"), "mailto:me@example.com", "MAIL BOX");
         },
         {"Links/"}},
        {"file added", [](const std::string& r) { writeShortcut(r + "b.url", "http://b/"); }, {""}},
        {"file removed",
         [](const std::string& r) { std::filesystem::remove(fsPath(native(r + "B/x y.url"))); },
         {"B/"}},
        {"file renamed",
         [](const std::string& r) {
             std::filesystem::rename(fsPath(native(r + "Links/Mail.url")),
                                     fsPath(native(r + "Links/Post.url")));
         },
         {"Links/"}},
        {"folder added, told by itself",
         [](const std::string& r) { writeShortcut(native(r + "Links/New/n.url"), "http://n/"); },
         {"Links/New/"}},
        {"folder removed, told by itself",
         [](const std::string& r) { std::filesystem::remove_all(fsPath(native(r + "B/C"))); },
         {"B/C/"}},
        {"folder replaced by a file",
         [](const std::string& r) {
             std::filesystem::remove_all(fsPath(native(r + "Links")));
             writeShortcut(r + "Links", "http://l/");
         },
         {"Links/Sport/"}},
        {"two folders at once",
         [](const std::string& r) {
             writeShortcut(native(r + "Empty/e.url"), "http://e/", "now");
             writeShortcut(native(r + "Links/Sport/Score.url"), "https://score.example/", "x");
         },
         {"Empty/", "Links/Sport/"}},
        {"folder moved",
         [](const std::string& r) {
             std::filesystem::rename(fsPath(native(r + "B/C")), fsPath(native(r + "Empty/C")));
         },
         {"B/", "Empty/"}},
    };
    for (const bool cached : {false, true}) {
        for (const auto& change : changes) {
            SCOPED_TRACE(std::string(change.what) + (cached ? ", cached" : ""));
            TempDir tree;
            TestFolders other(tree);
            const std::string r = other.favorites();
            std::filesystem::create_directories(fsPath(r));
            for (const auto& e : std::filesystem::recursive_directory_iterator(fsPath(root))) {
                const auto to = fsPath(r) / std::filesystem::relative(e.path(), fsPath(root));
                if (e.is_directory()) std::filesystem::create_directories(to);
                if (e.is_regular_file()) std::filesystem::copy_file(e.path(), to);
            }
            core::RowCache cache(r, cp.name());
            // Times long past, so that the cache vouches for what it read.
            cache.setClock([] { return std::chrono::system_clock::now() + std::chrono::hours(1); });
            const core::Catalog over(fs, profile, r, cached ? &cache : nullptr);
            auto held = std::make_unique<app::FavoriteIndex>(over, mapper);
            app::FavoriteIndex& index = *held;
            ASSERT_TRUE(index.walk({}));
            // Rows shown point into the index's text; they must read the same
            // after it replaced those folders, and after it is gone.
            const auto shownBefore = index.all();
            const auto itemsBefore = asItems(shownBefore);
            ASSERT_EQ(itemsBefore, walked(over));
            change.make(r);
            std::vector<std::string> told;
            for (const auto& f : change.folders)
                told.push_back(native(r + f));
            index.refreshFolders(told);
            EXPECT_EQ(asItems(index.all()), walked(over));
            const auto before = index.version();
            index.revalidate();
            EXPECT_EQ(asItems(index.all()), walked(over));
            EXPECT_NE(index.version(), before);
            held.reset();
            EXPECT_EQ(asItems(shownBefore), itemsBefore);
        }
    }
}

TEST_F(FavoriteIndexTest, AStoppedWalkKeepsWhatWasHeld) {
    app::FavoriteIndex index(catalog, mapper);
    EXPECT_FALSE(index.ready());
    index.refreshFolders({root});  // before any walk: nothing to refresh
    EXPECT_FALSE(index.ready());
    ASSERT_TRUE(index.walk({}));
    const auto held = asItems(index.all());
    writeShortcut(root + "late.url", "http://late/");
    core::StopSource stop;
    stop.request();
    index.walk({}, {}, {1, &stop});
    EXPECT_EQ(asItems(index.all()), held);
    EXPECT_TRUE(index.all(&stop).rows.empty());
    EXPECT_NE(asItems(index.all()), walked(catalog));
}

}  // namespace
}  // namespace brim::test
