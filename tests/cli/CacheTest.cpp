// The command line's cache of the favorites' rows: --no-cache neither reads
// nor writes it, and a program killed while it writes the cache leaves a
// whole one or none.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "CliTestSupport.h"
#include "FlakyFileSystem.h"
#include "core/Catalog.h"
#include "core/RowCache.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace brim::cli::test {
namespace {

namespace fs = std::filesystem;

class CacheTest : public CliFixture {
  protected:
    std::string cacheFile() const {
        return core::RowCache::fileFor(s.folders->cacheFolder(), root,
                                       s.services->codePage->name());
    }
    // A cache whose entry for a.url says "forged" while the file says
    // "honest": only a run that reads the cache shows it.
    void forgeCache() {
        const core::Profile profile(*s.services->fs, *s.services->codePage, *s.folders);
        core::RowCache cache(root, s.services->codePage->name());
        cache.setClock([] { return std::chrono::system_clock::now() + std::chrono::hours(1); });
        const core::Catalog catalog(*s.services->fs, profile, root, &cache);
        std::vector<core::FavoriteItem> rows;
        ASSERT_TRUE(catalog.allFavorites(rows));
        std::string bytes = cache.serialize();
        bytes.resize(bytes.size() - 8);
        const auto at = bytes.find("honest");
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, 6, "forged");
        writeFile(cacheFile(), withSum(bytes));
    }
};

TEST_F(CacheTest, NoCacheNeitherReadsNorWritesTheCache) {
    writeShortcut(root + "a.url", "https://a.example/", "honest");
    ASSERT_EQ(run({"--no-cache", "list"}).rc, 0);
    EXPECT_FALSE(exists(cacheFile()));
    forgeCache();
    const std::string forged = readFile(cacheFile());
    for (const auto& args : std::vector<std::vector<std::string>>{{"--no-cache", "--json", "list"},
                                                                  {"list", "--no-cache"},
                                                                  {"--no-cache", "search", "a"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, 0);
        EXPECT_NE(r.out.find("honest"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("forged"), std::string::npos) << r.out;
        EXPECT_EQ(readFile(cacheFile()), forged);
    }
    // Without it the cache is read, where its stamps vouch for the files...
    EXPECT_NE(run({"list"}).out.find("forged"), std::string::npos);
    // ...and not once the file changed.
    writeShortcut(root + "a.url", "https://a.example/", "honest again");
    EXPECT_EQ(run({"--json", "list"}).out, run({"--no-cache", "--json", "list"}).out);
    EXPECT_NE(run({"--help"}).out.find("--no-cache"), std::string::npos);
}

TEST_F(CacheTest, ListAndSearchGiveWhatTheyGiveWithoutTheCache) {
    writeShortcut(root + "a.url", "https://a.example/", "ニュース");
    writeShortcut(native(root + "A/b.url"), "https://b.example/", "天気");
    writeShortcut(native(root + "B/c.url"), "https://c.example/", "news");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"list"},
                                               {"--json", "list"},
                                               {"search", "news"},
                                               {"--json", "search", "--or", "a", "天気"}}) {
        auto noCache = args;
        noCache.push_back("--no-cache");
        const CliRun cold = run(args);
        EXPECT_EQ(cold.out, run(noCache).out);
        EXPECT_EQ(run(args).out, cold.out);
        EXPECT_EQ(cold.rc, 0);
    }
}

// The names in a folder.
std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(fsPath(folder)))
        names.insert(utf8(e.path().filename()));
    return names;
}

// A cache that cannot be written, on a full disk or refused by the file
// system, stays as it was, with nothing beside it; the list is what
// --no-cache lists, and the run says nothing of the cache.
TEST_F(CacheTest, ACacheThatCannotBeWrittenIsKeptAndTheListIsRight) {
    auto flaky = std::make_unique<FlakyFileSystem>();
    FlakyFileSystem& files = *flaky;
    s.services->fs = std::move(flaky);
    for (const char* name : {"a", "b", "c"}) {
        writeShortcut(native(root + "F/" + name + ".url"), std::string("https://") + name + "/",
                      name);
    }
    // Files changed within the last two seconds are not kept: let them age,
    // so that the cache holds entries a wrong run would believe.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const std::string folder = s.folders->cacheFolder();
#ifndef _WIN32
    std::unique_ptr<TestMount> disk;
#endif
    struct Case {
        const char* what;
        std::function<std::string()> before;  // why the fault cannot be made, or nothing
        std::function<void()> fault, mend;
    };
    const std::vector<Case> cases = {
        {"a write the file system refuses", [] { return std::string(); },
         [&] { files.unwritable.insert(cacheFile()); }, [&] { files.unwritable.clear(); }},
#ifndef _WIN32
        {"a full disk",
         [&] {
             disk = std::make_unique<TestMount>(folder, TestMount::SmallDisk);
             return disk->mounted() ? std::string() : disk->why();
         },
         [&] { disk->fill(); }, [&] { disk->free(); }},
#endif
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(fsPath(folder));
        makeFolders(folder);
        if (const std::string why = c.before(); !why.empty()) {
            std::cout << "[  SKIPPED ] " << c.what << ": " << why << "\n";
            continue;
        }
        ASSERT_EQ(run({"list"}).rc, 0);
        core::RowCache written(root, s.services->codePage->name());
        ASSERT_TRUE(written.load(readFile(cacheFile())));
        EXPECT_GE(written.fileCount(), 2u);
        const std::string old = readFile(cacheFile());
        c.fault();
        const auto names = namesIn(folder);
        // A change the old cache cannot know of, and that changes what the
        // cache holds, so that the run writes it: a kept file renamed.
        const std::string from = std::string(1, static_cast<char>('a' + round++));
        fs::rename(fsPath(native(root + "F/" + from + ".url")),
                   fsPath(native(root + "F/" + from + "-moved.url")));
        for (const auto& args :
             std::vector<std::vector<std::string>>{{"--json", "list"}, {"search", "moved"}}) {
            const CliRun r = run(args);
            auto plain = args;
            plain.push_back("--no-cache");
            EXPECT_EQ(r.rc, 0);
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(r.out, run(plain).out);
            EXPECT_NE(r.out.find(from + "-moved.url"), std::string::npos) << r.out;
            EXPECT_EQ(readFile(cacheFile()), old);
            EXPECT_EQ(namesIn(folder), names);
        }
        c.mend();
        EXPECT_EQ(run({"--json", "list"}).out, run({"--json", "list", "--no-cache"}).out);
        EXPECT_TRUE(written.load(readFile(cacheFile())));
#ifndef _WIN32
        disk.reset();
#endif
    }
}

#ifndef _WIN32
// A program killed at any moment of a run, its writing of the cache among
// them, leaves the cache as a whole one or none; the next run lists as
// --no-cache does.
TEST_F(CacheTest, AProgramKilledWhileWritingTheCacheLeavesAWholeOne) {
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i) {
        writeShortcut(
            native(root + "F" + std::to_string(i % 40) + "/f" + std::to_string(i) + ".url"),
            "https://example.com/" + std::to_string(i), "comment " + std::to_string(i));
    }
    // Files changed within the last two seconds are not kept: let them age,
    // so that the cache has something to write.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const std::string home = dir / "home";
    const std::string file =
        core::RowCache::fileFor(home + "/cache/brimmark/", root, s.services->codePage->name());
    const auto start = [&] { return startProgram({"--favorites", root, "--json", "list"}, home); };
    const auto finish = [](pid_t pid) { return waitProgram(pid); };
    // How long a whole run takes, writing the cache of every file.
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(finish(start()), 0);
    const auto whole = std::chrono::steady_clock::now() - t0;
    ASSERT_TRUE(exists(file));

    std::mt19937 rng(7);
    int killed = 0;
    for (int round = 0; round < 40; ++round) {
        // One file more changed each round, so that every run rewrites the cache.
        writeShortcut(native(root + "F0/f" + std::to_string(round * 40) + ".url"),
                      "https://example.com/changed", "round " + std::to_string(round));
        const pid_t pid = start();
        std::this_thread::sleep_for(
            std::uniform_int_distribution<std::int64_t>(
                0,
                std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 3 / 2)(rng) *
            std::chrono::microseconds(1));
        ::kill(pid, SIGKILL);
        if (WIFSIGNALED(finish(pid))) ++killed;
        core::RowCache cache(root, s.services->codePage->name());
        ASSERT_TRUE(cache.load(readFile(file))) << "round " << round;
        EXPECT_GT(cache.fileCount(), 0u);
    }
    EXPECT_GT(killed, 0);
    // What the cache left holds is what the files hold.
    const core::Profile profile(*s.services->fs, *s.services->codePage, *s.folders);
    core::RowCache cache(root, s.services->codePage->name());
    cache.loadFile(*s.services->fs, file);
    std::vector<core::FavoriteItem> cached, plain;
    ASSERT_TRUE(core::Catalog(*s.services->fs, profile, root, &cache).allFavorites(cached));
    ASSERT_TRUE(core::Catalog(*s.services->fs, profile, root).allFavorites(plain));
    EXPECT_EQ(cached, plain);
}

// Runs over one tree at once all write the cache: the cache is one whole,
// each run lists what --no-cache lists, and so does the run after.
TEST_F(CacheTest, RunsWritingTheCacheAtOnceLeaveAWholeOne) {
    constexpr int kFiles = 1000;
    const auto name = [&](int i) {
        return native(root + "F" + std::to_string(i % 20) + "/f" + std::to_string(i) + ".url");
    };
    // Long comments make a large cache, which takes its writers a while.
    for (int i = 0; i < kFiles; ++i)
        writeShortcut(name(i), "https://example.com/" + std::to_string(i),
                      std::to_string(i) + std::string(2000, 'c'));
    // Aged, so that the cache holds what a wrong list would show.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const std::string home = dir / "home";
    const std::string file =
        core::RowCache::fileFor(home + "/cache/brimmark/", root, s.services->codePage->name());
    const auto list = [&](const std::string& out, bool cached = true) {
        std::vector<std::string> args = {"--favorites", root, "--json", "list"};
        if (!cached) args.push_back("--no-cache");
        return startProgram(args, home, out, out + ".err");
    };
    // Runs at once: more than two, so that some write the cache together
    // although each spends most of its time reading.
    const std::vector<std::string> outs = {dir / "1.json", dir / "2.json", dir / "3.json",
                                           dir / "4.json"};
    const std::string plain = dir / "plain.json";
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Each round changes what the cache holds: a kept file rewritten, or
        // one renamed.
        if (round % 2) {
            writeShortcut(name(round * 7), "https://example.com/changed",
                          "r " + std::to_string(round));
        } else {
            fs::rename(fsPath(name(round * 7)), fsPath(name(round * 7) + ".url"));
        }
        std::vector<pid_t> runs;
        for (const auto& out : outs)
            runs.push_back(list(out));
        // A reader meanwhile finds the cache whole each time it looks.
        std::vector<int> statuses(runs.size(), -1);
        int reads = 0;
        while (std::count(statuses.begin(), statuses.end(), -1) > 0) {
            for (std::size_t i = 0; i < runs.size(); ++i) {
                ASSERT_GT(runs[i], 0);
                int status = 0;
                if (statuses[i] < 0 && waitpid(runs[i], &status, WNOHANG) == runs[i])
                    statuses[i] = status;
            }
            core::RowCache seen(root, s.services->codePage->name());
            if (exists(file)) {
                ++reads;
                ASSERT_TRUE(seen.load(readFile(file)))
                    << "a torn cache after " << reads << " reads";
            }
        }
        for (std::size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(statuses[i], 0) << readFile(outs[i] + ".err");
        core::RowCache cache(root, s.services->codePage->name());
        ASSERT_TRUE(cache.load(readFile(file))) << "a torn cache";
        EXPECT_GT(cache.fileCount(), kFiles / 2u);
        ASSERT_EQ(waitProgram(list(plain, false)), 0);
        const std::string expected = readFile(plain);
        for (const auto& out : outs)
            EXPECT_EQ(readFile(out), expected);
    }
    ASSERT_EQ(waitProgram(list(outs[0])), 0);
    EXPECT_EQ(readFile(outs[0]), readFile(plain));
    // Nothing either writer left beside the cache.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(fsPath(home + "/cache/brimmark/")))
        names.insert(utf8(e.path().filename()));
    EXPECT_EQ(names, std::set<std::string>{file.substr(file.rfind('/') + 1)});
}
#endif

}  // namespace
}  // namespace brim::cli::test
