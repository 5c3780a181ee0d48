// The cache of the favorites' rows: every way a user or another program
// changes the files, and every state the cache file may be in, gives the
// list a walk without the cache gives.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <thread>

#include "FlakyFileSystem.h"
#include "GatedFileSystem.h"
#include "TestSupport.h"
#include "core/Catalog.h"
#include "core/RowCache.h"
#include "core/Search.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brim::test {
namespace {

namespace fs = std::filesystem;
using core::FavoriteItem;
using core::RowCache;

class RowCacheTest : public testing::Test {
  protected:
    TempDir dir;
    TestFolders folders{dir};
    const std::string root = folders.favorites();
    SystemFileSystem real;
    GatedFileSystem files{real};  // counts the reads
    SystemCodePage cp;
    SystemCaseMapper mapper;
    core::Profile profile{files, cp, folders};
    const std::string cacheFile = RowCache::fileFor(folders.cacheFolder(), root, cp.name());

    void SetUp() override { makeTree(); }

    // Every comment has five characters, so that a rewrite can keep the size.
    void makeTree() {
        writeShortcut(root + "a.url", "https://a.example/", "alpha");
        writeShortcut(root + "b.url", "https://b.example/", "bravo");
        writeShortcut(native(root + "Links/c.url"), "https://c.example/", "charl");
        writeShortcut(native(root + "Links/Old/d.url"), "https://d.example/", "delta");
        writeShortcut(native(root + "News/e.url"), "https://e.example/", "echoo");
        writeShortcut(native(root + "News/天気.url"), "https://f.example/", "天気予報だ");
    }

    std::vector<FavoriteItem> walk(RowCache* cache, unsigned threads = 2) {
        const core::Catalog catalog(files, profile, root, cache);
        std::vector<FavoriteItem> rows;
        EXPECT_TRUE(catalog.allFavorites(rows, {}, {threads}));
        return rows;
    }

    // One run as the command line makes it: the cache file read, the tree
    // walked through it, the file written. A late clock takes every file as
    // long unchanged; the system's takes those just written as too recent.
    std::vector<FavoriteItem> cachedRun(bool late = true, std::size_t* kept = nullptr) {
        RowCache cache(root, cp.name());
        if (late)
            cache.setClock([] { return std::chrono::system_clock::now() + std::chrono::hours(1); });
        cache.loadFile(files, cacheFile);
        auto rows = walk(&cache);
        EXPECT_TRUE(cache.saveFile(files, cacheFile));
        if (kept) *kept = cache.fileCount();
        return rows;
    }

    std::size_t shortcutReads() const { return files.readsOf(".url"); }
};

// A new file put in the place of `path` by a rename, as editors and sync
// tools save: same size and write time as the one it replaces.
void replaceByRename(const std::string& path, std::string_view url, std::string_view comment) {
    const std::string temporary = path + ".new";
    writeShortcut(temporary, url, comment);
    fs::last_write_time(fsPath(temporary), fs::last_write_time(fsPath(path)));
    fs::rename(fsPath(temporary), fsPath(path));
}

TEST_F(RowCacheTest, AWarmRunReadsNoFileAndGivesTheSameRows) {
    const auto cold = cachedRun();
    const std::size_t coldReads = shortcutReads();
    EXPECT_EQ(coldReads, 6u);
    EXPECT_EQ(cachedRun(), cold);
    EXPECT_EQ(shortcutReads(), coldReads) << "the warm run read files";
    EXPECT_EQ(cold, walk(nullptr, 1));
    // A changed file is read again, and only it.
    writeShortcut(native(root + "Links/c.url"), "https://c.example/", "changed, longer");
    EXPECT_EQ(cachedRun(), walk(nullptr));
    // The plain walks' six each, and the cached run's one.
    EXPECT_EQ(shortcutReads(), coldReads + 6 + 1 + 6);
}

TEST_F(RowCacheTest, EveryChangeToTheFilesShowsInTheNextList) {
    struct Case {
        const char* what;
        std::function<void(const std::string& root)> change;
    };
    const std::vector<Case> cases = {
        {"a comment saved by the program",
         [&](const std::string& r) {
             ASSERT_TRUE(profile.WriteShortcutComment(r + "a.url", "a longer comment"));
         }},
        {"a rewrite of the same size",
         [](const std::string& r) {
             // The late clock trusts every stamp, so the rewrite must fall in
             // a later tick of the disk's clock; the same tick is the racily
             // clean test's.
             std::this_thread::sleep_for(std::chrono::milliseconds(50));
             writeShortcut(r + "a.url", "https://a.example/", "omega");
         }},
        {"a file put in another's place by a rename, same size and time",
         [](const std::string& r) { replaceByRename(r + "b.url", "https://x.example/", "xrayy"); }},
        {"two files of one size swapped",
         [](const std::string& r) {
             fs::rename(fsPath(r + "a.url"), fsPath(r + "t.tmp"));
             fs::rename(fsPath(r + "b.url"), fsPath(r + "a.url"));
             fs::rename(fsPath(r + "t.tmp"), fsPath(r + "b.url"));
         }},
        {"a file renamed",
         [](const std::string& r) { fs::rename(fsPath(r + "b.url"), fsPath(r + "z.url")); }},
        {"a file moved to another folder",
         [](const std::string& r) {
             fs::rename(fsPath(native(r + "Links/c.url")), fsPath(native(r + "News/c.url")));
         }},
        {"a file deleted", [](const std::string& r) { fs::remove(fsPath(r + "a.url")); }},
        {"a file added",
         [](const std::string& r) {
             writeShortcut(native(r + "Links/n.url"), "https://n/", "new");
         }},
        {"a file replaced by a folder of its name",
         [](const std::string& r) {
             fs::remove(fsPath(r + "a.url"));
             writeShortcut(native(r + "a.url/in.url"), "https://in/", "inner");
         }},
        {"a folder removed", [](const std::string& r) { fs::remove_all(fsPath(r + "Links")); }},
        {"a folder renamed",
         [](const std::string& r) { fs::rename(fsPath(r + "Links"), fsPath(r + "Linked")); }},
        {"a folder replaced by another of its name, same files, sizes and times",
         [](const std::string& r) {
             const auto old = fs::last_write_time(fsPath(native(r + "News/e.url")));
             fs::remove_all(fsPath(r + "News"));
             writeShortcut(native(r + "News/e.url"), "https://e.example/", "other");
             fs::last_write_time(fsPath(native(r + "News/e.url")), old);
         }},
        {"a folder moved into another",
         [](const std::string& r) {
             fs::rename(fsPath(r + "News"), fsPath(native(r + "Links/News")));
         }},
        {"a name in Japanese renamed",
         [](const std::string& r) {
             fs::rename(fsPath(native(r + "News/天気.url")),
                        fsPath(native(r + "News/天気予報.url")));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(fsPath(root));
        fs::remove_all(fsPath(folders.cacheFolder()));
        makeTree();
        const auto before = cachedRun();
        ASSERT_EQ(before, walk(nullptr));
        c.change(root);
        const auto after = walk(nullptr);
        EXPECT_NE(after, before) << "the change changes nothing";
        EXPECT_EQ(cachedRun(), after);
        // And so does the cache written after the change.
        EXPECT_EQ(cachedRun(), after);
        EXPECT_EQ(cachedRun(true), walk(nullptr, 1));
    }
}

#ifndef _WIN32
// What only a POSIX file system keeps, and what only a user other than root
// is refused.
TEST_F(RowCacheTest, ChangesOnlyPosixMakesShowInTheNextList) {
    struct Case {
        const char* what;
        bool needsNonRoot;
        std::function<void(const std::string& root)> change;
    };
    const std::vector<Case> cases = {
        {"a name in code-page bytes renamed to UTF-8", false,
         [](const std::string& r) { fs::rename(r + cp932("News/天気.url"), r + "News/天気.url"); }},
        {"a folder made read-only, so no longer entered", false,
         [](const std::string& r) { ::chmod((r + "Links").c_str(), 0555); }},
        {"a file made unreadable", true,
         [](const std::string& r) { ::chmod((r + "a.url").c_str(), 0); }},
        {"a file replaced by a link to another", false,
         [](const std::string& r) {
             fs::remove(r + "a.url");
             fs::create_symlink(r + "b.url", r + "a.url");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && ::geteuid() == 0) continue;
        fs::remove_all(root);
        fs::remove_all(folders.cacheFolder());
        makeTree();
        fs::rename(root + "News/天気.url", root + cp932("News/天気.url"));
        const auto before = cachedRun();
        c.change(root);
        const auto after = walk(nullptr);
        EXPECT_NE(after, before) << "the change changes nothing";
        EXPECT_EQ(cachedRun(), after);
        EXPECT_EQ(cachedRun(), after);
        ::chmod((root + "Links").c_str(), 0755);
    }
}

#endif

// A cache that cannot be written costs the next run its reads only: the list
// is right, and the cache file is the last one written, whole, with nothing
// left beside it. Each way a write is refused, root's own included.
TEST_F(RowCacheTest, ACacheFolderThatCannotBeWrittenOnlyCostsTheReads) {
    const std::string folder = folders.cacheFolder();
    const std::string name = cacheFile.substr(folder.size());
    FlakyFileSystem writer;
#ifndef _WIN32
    std::unique_ptr<TestMount> mount;
    const auto mounted = [&](TestMount::Kind kind) {
        mount = std::make_unique<TestMount>(folder, kind);
        return mount->mounted() ? std::string() : mount->why();
    };
#endif
    struct Case {
        const char* what;
        // Each answers why the fault cannot be made here, or nothing.
        std::function<std::string()> before;  // the cache is written after it
        std::function<std::string()> fault;
        std::function<void()> mend;
    };
    const auto none = [] { return std::string(); };
    const std::vector<Case> cases = {
        {"a write the file system refuses", none,
         [&] {
             writer.unwritable.insert(cacheFile);
             return std::string();
         },
         [&] { writer.unwritable.clear(); }},
#ifndef _WIN32
        {"a folder the user may not write", none,
         [&] {
             if (::geteuid() == 0) return std::string("root writes into any folder");
             ::chmod(folder.c_str(), 0555);
             return std::string();
         },
         [&] { ::chmod(folder.c_str(), 0755); }},
        {"a read-only file system", none, [&] { return mounted(TestMount::ReadOnlyView); },
         [&] { mount.reset(); }},
        {"a full disk", [&] { return mounted(TestMount::SmallDisk); },
         [&] {
             mount->fill();
             return std::string();
         },
         [&] { mount->free(); }},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(fsPath(root));
        makeTree();
        makeFolders(folder);
        std::string why = c.before();
        if (why.empty()) {
            cachedRun();
            why = c.fault();
        }
        if (!why.empty()) {
            std::cout << "[  SKIPPED ] " << c.what << ": " << why << "\n";
#ifndef _WIN32
            mount.reset();
#endif
            continue;
        }
        const std::string old = readFile(cacheFile);
        std::set<std::string> left;
        for (const auto& e : fs::directory_iterator(fsPath(folder)))
            left.insert(utf8(e.path().filename()));
        // A change the old cache cannot know of: a stale entry would show.
        writeShortcut(root + "a.url", "https://a.example/", "a comment of another size");
        RowCache cache(root, cp.name());
        cache.loadFile(files, cacheFile);
        EXPECT_EQ(cache.fileCount(), 6u);
        EXPECT_EQ(walk(&cache), walk(nullptr));
        EXPECT_FALSE(cache.saveFile(writer, cacheFile));
        EXPECT_EQ(readFile(cacheFile), old);
        std::set<std::string> now;
        for (const auto& e : fs::directory_iterator(fsPath(folder)))
            now.insert(utf8(e.path().filename()));
        EXPECT_EQ(now, left);
        EXPECT_TRUE(left.count(name));
        c.mend();
        // With room again the next run writes it.
        EXPECT_EQ(cachedRun(), walk(nullptr));
        EXPECT_NE(readFile(cacheFile), old);
#ifndef _WIN32
        mount.reset();
#endif
    }
}

TEST_F(RowCacheTest, RacilyCleanFilesAreReadAgain) {
    // Files written just now: their stamps cannot vouch for what was read, as
    // a rewrite within the same tick of the disk's clock keeps them.
    std::size_t kept = 99;
    const auto first = cachedRun(false, &kept);
    EXPECT_EQ(kept, 0u);
    writeShortcut(root + "a.url", "https://a.example/", "omega");
    writeShortcut(native(root + "News/e.url"), "https://e.example/", "eeeee");
    EXPECT_EQ(cachedRun(false), walk(nullptr));
    // Seen from an hour later they are old, and kept.
    cachedRun(true, &kept);
    EXPECT_EQ(kept, 6u);
}

TEST_F(RowCacheTest, ACacheFileThatIsNotWholeOrNotOursIsRebuilt) {
    cachedRun();
    const std::string good = readFile(cacheFile);
    ASSERT_GT(good.size(), 200u);
    const std::string body = good.substr(0, good.size() - 8);
    // The header's text `from` with its last character changed: a cache
    // whole in its form, of another version, format or code page.
    const auto otherHeader = [&](std::string_view from) {
        std::string b = body;
        const auto at = b.find(from);
        EXPECT_NE(at, std::string::npos);
        b[at + from.size() - 1] ^= 1;
        return withSum(b);
    };
    struct Case {
        const char* what;
        std::string bytes;
        bool loads;
    };
    const std::vector<Case> cases = {
        {"whole", good, true},
        {"empty", "", false},
        {"cut short", good.substr(0, good.size() / 2), false},
        {"one byte changed",
         [&] {
             std::string b = good;
             b[b.size() / 2] ^= 1;
             return b;
         }(),
         false},
        {"one byte too many", good + "x", false},
        {"garbage", std::string(5000, '\xff'), false},
        {"another program version", otherHeader(BRIMMARK_VERSION), false},
        {"another format", otherHeader("brimmark rows 2"), false},
        {"another code page", otherHeader(cp.name()), false},
    };
    // A change the damaged cache cannot know of: a stale entry would show.
    writeShortcut(root + "a.url", "https://a.example/", "a comment of another size");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RowCache probe(root, cp.name());
        EXPECT_EQ(probe.load(c.bytes), c.loads);
        if (!c.loads) {
            EXPECT_EQ(probe.fileCount(), 0u);
        }
        writeFile(cacheFile, c.bytes);
        EXPECT_EQ(cachedRun(), walk(nullptr));
        // Rebuilt whole.
        RowCache rebuilt(root, cp.name());
        EXPECT_TRUE(rebuilt.load(readFile(cacheFile)));
        EXPECT_EQ(rebuilt.fileCount(), 6u);
    }
    // A whole file whose folder holds its entries out of order ("b.url"
    // recorded as "0.url", after "a.url") with a forged comment: that
    // folder's files are read again, and the others still served.
    {
        cachedRun();
        std::string b = readFile(cacheFile);
        b.resize(b.size() - 8);
        for (const std::string_view name : {"b.url", "bravo"}) {
            const auto at = b.find(name);
            ASSERT_NE(at, std::string::npos);
            b.replace(at, name.size(), name == "b.url" ? "0.url" : "forge");
        }
        writeFile(cacheFile, withSum(b));
        RowCache probe(root, cp.name());
        EXPECT_TRUE(probe.load(readFile(cacheFile)));
        const std::size_t reads = shortcutReads();
        EXPECT_EQ(cachedRun(), walk(nullptr));
        EXPECT_EQ(shortcutReads(), reads + 2 + 6) << "only the root's two files read again";
    }
    // Nothing changed: the next run writes the file as it found it.
    cachedRun();
    const std::string before = readFile(cacheFile);
    cachedRun();
    EXPECT_EQ(readFile(cacheFile), before);
    // Another tree's cache never serves this one.
    RowCache other(root + "x" + kSep, cp.name());
    EXPECT_FALSE(other.load(readFile(cacheFile)));
    EXPECT_NE(RowCache::fileFor(folders.cacheFolder(), root + "x" + kSep, cp.name()), cacheFile);
    EXPECT_NE(RowCache::fileFor(folders.cacheFolder(), root, "EUC-JP"), cacheFile);
}

TEST_F(RowCacheTest, ACacheThatCannotBeWrittenIsLeftAsItWas) {
    // A folder holds the cache file's name.
    makeFolders(cacheFile + kSep);
    RowCache cache(root, cp.name());
    cache.loadFile(files, cacheFile);
    EXPECT_EQ(walk(&cache), walk(nullptr));
    EXPECT_FALSE(cache.saveFile(files, cacheFile));
    EXPECT_TRUE(fs::is_directory(fsPath(cacheFile)));
}

TEST_F(RowCacheTest, SearchesReadThroughTheCacheAndFindWhatChanged) {
    const auto search = [&](RowCache* cache, const std::string& word) {
        const core::Catalog catalog(files, profile, root, cache);
        const core::Search s(catalog, mapper);
        std::vector<FavoriteItem> rows;
        EXPECT_TRUE(
            s.SearchDir(root, {word}, {}, [&](FavoriteItem&& r) { rows.push_back(r); }, {}, {2}));
        return rows;
    };
    const auto late = [] { return std::chrono::system_clock::now() + std::chrono::hours(1); };
    RowCache cache(root, cp.name());
    cache.setClock(late);
    ASSERT_EQ(search(&cache, "DELTA").size(), 1u);
    EXPECT_EQ(cache.fileCount(), 6u);  // every file read, not only the matches
    const std::size_t reads = shortcutReads();
    writeShortcut(native(root + "Links/Old/d.url"), "https://d.example/", "no longer the word");
    EXPECT_EQ(search(&cache, "DELTA"), search(nullptr, "DELTA"));
    EXPECT_TRUE(search(&cache, "DELTA").empty());
    EXPECT_EQ(search(&cache, "example"), search(nullptr, "example"));
    EXPECT_EQ(shortcutReads(), reads + 1 + 6 + 6);  // one for the cached searches
}

}  // namespace
}  // namespace brim::test
