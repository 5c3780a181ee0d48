// The walk spread over threads gives exactly what the one-thread walk gives,
// in the same order, however the threads' work interleaves; it stops when
// asked.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
#include <system_error>
#include <thread>

#include "CatalogFixture.h"
#include "GatedFileSystem.h"
#include "core/ParallelWalk.h"
#include "core/Search.h"
#include "platform/posix/IconvCodePage.h"

namespace brim::core {
namespace {

using Log = std::vector<std::string>;

std::string entry(const FavoriteItem& r) {
    return "row " + r.folder + r.name + "|" + r.comment + "|" + r.url + "|" + r.path;
}
std::string entry(const WalkProblem& p) {
    return "problem " + std::to_string(static_cast<int>(p.kind)) + " " + p.path;
}

class ParallelWalkTest : public test::CatalogFixture {
  protected:
    // A tree of many folders, each under an earlier one, names in mixed case
    // so that the listing order matters; files with and without comments,
    // hidden files, a read-only folder, an unreadable one and a name the
    // program cannot express.
    void SetUp() override {
        test::makeFolders(root);
        std::vector<std::string> made{root};
        unsigned seed = 12345;
        const auto next = [&](unsigned n) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) % n;
        };
        for (int i = 0; i < 240; ++i) {
            const std::string& parent = made[next(static_cast<unsigned>(made.size()))];
            const std::string name = (i % 3 == 0   ? "b"
                                      : i % 3 == 1 ? "A"
                                                   : "_") +
                                     std::to_string(next(1000)) + "-" + std::to_string(i);
            made.push_back(parent + name + "/");
            test::makeFolders(made.back());
        }
        for (std::size_t f = 0; f < made.size(); ++f) {
            const unsigned files = next(5);
            for (unsigned i = 0; i < files; ++i) {
                const std::string n = std::to_string(f) + "-" + std::to_string(i);
                test::writeShortcut(made[f] + (i % 2 ? "n" : "N") + n + ".url", "http://x/" + n,
                                    i % 3 ? "コメント " + n : "");
            }
        }
        test::writeFile(made[5] + ".hidden.url", "");
        test::writeFile(made[7] + "back\\slash.url", "");
        chmod(made[9].c_str(), 0555);  // read-only: neither listed nor entered
        fs.unreadable.insert(made[11]);
    }

    // What the one-thread walk the program has always had gives.
    Log reference() {
        Log log;
        WalkVisitor visitor;
        visitor.problem = [&](const WalkProblem& p) { log.push_back(entry(p)); };
        visitor.folder = [&](const std::string& path, const std::string& label,
                             const FolderContents& contents) {
            std::string bytes;
            for (const auto& name : contents.files) {
                FavoriteItem r{name.shown, label, {}, {}, path + name.disk};
                if (contents.folder->readFile(name.disk, bytes)) {
                    r.comment = profile.valueIn(bytes, kCommentSection, kCommentKey);
                    r.url = profile.valueIn(bytes, kShortcutSection, kUrlKey);
                }
                log.push_back(entry(r));
            }
        };
        EXPECT_TRUE(walkTree(fs, cp, root, root, visitor));
        return log;
    }
};

TEST_F(ParallelWalkTest, EveryWalkGivesTheOneThreadOrderOnAnyNumberOfThreads) {
    const Log expected = reference();
    ASSERT_GT(expected.size(), 300u);
    Log labels;  // the folder list of the one-thread walk
    WalkVisitor visitor;
    visitor.folder = [&](const std::string&, const std::string& label, const FolderContents&) {
        labels.push_back(label);
    };
    ASSERT_TRUE(walkTree(fs, cp, root, root, visitor));
    ASSERT_GT(labels.size(), 150u);
    Log named;  // the rows whose names hold "1-", as a search by name finds them
    for (const auto& e : expected) {
        const auto name = e.substr(e.rfind('\\') + 1);
        if (e.starts_with("row ") && name.substr(0, name.find('|')).find("1-") != std::string::npos)
            named.push_back(e);
    }
    ASSERT_FALSE(named.empty());

    const Search search(catalog, mapper);
    SearchOptions byName;
    byName.fields = {0, 1, 0, 0};
    byName.foldCase = false;
    for (const unsigned threads : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        WalkControl control{threads, {}};
        control.readAhead = threads == 3 ? 4 : 8192;  // a short lead changes nothing either
        Log rows, walked, found;
        const auto row = [](Log& log) {
            return [&log](FavoriteItem&& r) { log.push_back(entry(r)); };
        };
        const auto problem = [](Log& log) {
            return [&log](const WalkProblem& p) { log.push_back(entry(p)); };
        };
        EXPECT_TRUE(catalog.ListDir(root, row(rows), problem(rows), control));
        EXPECT_EQ(rows, expected);
        EXPECT_TRUE(catalog.ListFolder(
            root, [&](std::string&& label) { walked.push_back(label); }, {}, control));
        EXPECT_EQ(walked, labels);
        EXPECT_TRUE(search.SearchDir(root, {"1-"}, byName, row(found), {}, control));
        EXPECT_EQ(found, named);
    }
}

TEST_F(ParallelWalkTest, RowsKeepTheirOrderWhenLaterFoldersAreReadFirst) {
    const Log expected = reference();
    Log expectedRows;
    for (const auto& e : expected) {
        if (e.starts_with("row ")) expectedRows.push_back(e);
    }
    test::GatedFileSystem gated(fs);
    Profile gatedProfile(gated, cp, folders);
    const Catalog gatedCatalog(gated, gatedProfile, root);
    // The first file of a subfolder waits until other threads have read 40
    // files of the folders that come after it.
    const auto sub = std::find_if(expectedRows.begin(), expectedRows.end(), [&](const auto& e) {
        return e.substr(e.rfind('|') + 1 + root.size()).find('/') != std::string::npos;
    });
    ASSERT_NE(sub, expectedRows.end());
    gated.close(sub->substr(sub->rfind('|') + 1));
    Log rows;
    std::thread walk([&] {
        gatedCatalog.ListDir(root, [&](FavoriteItem&& r) { rows.push_back(entry(r)); }, {},
                             {4, {}});
    });
    EXPECT_TRUE(gated.waitUntilHeld());
    EXPECT_TRUE(gated.waitForReads(40));
    gated.open();
    walk.join();
    EXPECT_EQ(rows, expectedRows);
}

TEST_F(ParallelWalkTest, StopEndsTheWalkAfterAWholeRow) {
    const Log expected = reference();
    for (const unsigned threads : {1u, 4u}) {
        for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{57}}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, stop after " + std::to_string(after));
            StopSource stop;
            if (after == 0) stop.request();
            Log rows;
            EXPECT_TRUE(catalog.ListDir(root,
                                        [&](FavoriteItem&& r) {
                                            rows.push_back(entry(r));
                                            if (rows.size() == after) stop.request();
                                        },
                                        {}, {threads, &stop}));
            Log prefix;
            for (const auto& e : expected) {
                if (prefix.size() < after && e.starts_with("row ")) prefix.push_back(e);
            }
            EXPECT_EQ(rows, prefix);
        }
    }
}

TEST_F(ParallelWalkTest, AnUnreadableStartIsReportedOnAnyNumberOfThreads) {
    fs.unreadable.insert(root);
    for (const unsigned threads : {1u, 4u}) {
        Log log;
        EXPECT_FALSE(catalog.ListDir(
            root, [&](FavoriteItem&& r) { log.push_back(entry(r)); },
            [&](const WalkProblem& p) { log.push_back(entry(p)); }, {threads, {}}));
        EXPECT_EQ(log, Log{entry(WalkProblem{WalkProblem::Kind::Unreadable, root})});
    }
}

TEST_F(ParallelWalkTest, AWalkGoesOnWithTheThreadsItCouldStart) {
    const Log expected = reference();
    // Helper threads the system refuses from the n-th on, as under a process limit.
    for (const unsigned started : {0u, 1u, 3u}) {
        SCOPED_TRACE(std::to_string(started) + " helpers started");
        unsigned asked = 0;
        WalkControl control{8, {}};
        control.startThread = [&](std::function<void()> body) {
            if (asked++ >= started)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        };
        Log log;
        EXPECT_TRUE(catalog.ListDir(
            root, [&](FavoriteItem&& r) { log.push_back(entry(r)); },
            [&](const WalkProblem& p) { log.push_back(entry(p)); }, control));
        EXPECT_EQ(log, expected);
        EXPECT_EQ(asked, std::min(started + 1, 7u));
    }
}

TEST_F(ParallelWalkTest, AFolderAHelperFailsToReadIsReadByTheCaller) {
    const Log expected = reference();
    // A row halfway, and its folder.
    const auto middle =
        std::find_if(expected.begin() + static_cast<std::ptrdiff_t>(expected.size() / 2),
                     expected.end(), [](const auto& e) { return e.starts_with("row "); });
    ASSERT_NE(middle, expected.end());
    const std::string file = middle->substr(middle->rfind('|') + 1);
    const std::string folder = file.substr(0, file.rfind('/') + 1);
    const auto caller = std::this_thread::get_id();
    for (const bool lasting : {false, true}) {
        SCOPED_TRACE(lasting ? "the failure lasts" : "the failure passes");
        // Each folder's first opening on a helper fails; a lasting failure
        // fails the middle folder on every thread.
        // So that a helper's failure does not hang on the machine's timing, the
        // caller holds its first folder after the root until a helper failed
        // (bounded: a walk without helpers must still end, and then fails here).
        std::mutex mutex;
        std::condition_variable helperFailed;
        std::set<std::string> failed;
        fs.beforeOpenFolder = [&](const std::string& opened) {
            std::unique_lock lock(mutex);
            if (lasting && opened == folder) throw std::bad_alloc();
            if (std::this_thread::get_id() != caller) {
                if (failed.insert(opened).second) {
                    helperFailed.notify_all();
                    throw std::bad_alloc();
                }
            } else if (!lasting && opened != root) {
                helperFailed.wait_for(lock, std::chrono::seconds(20),
                                      [&] { return !failed.empty(); });
            }
        };
        Log log;
        const auto walk = [&] {
            return catalog.ListDir(
                root, [&](FavoriteItem&& r) { log.push_back(entry(r)); },
                [&](const WalkProblem& p) { log.push_back(entry(p)); }, {4, {}});
        };
        if (lasting) {
            // Out on the caller's thread, after the rows before it.
            EXPECT_THROW(walk(), std::bad_alloc);
            ASSERT_LT(log.size(), expected.size());
            EXPECT_EQ(log, Log(expected.begin(),
                               expected.begin() + static_cast<std::ptrdiff_t>(log.size())));
            EXPECT_EQ(std::count(log.begin(), log.end(), *middle), 0);
        } else {
            EXPECT_TRUE(walk());
            EXPECT_EQ(log, expected);
            EXPECT_FALSE(failed.empty());  // the helpers did fail
        }
    }
    fs.beforeOpenFolder = nullptr;
}

TEST(IconvCodePageThreads, ConversionsOnManyThreadsAtOnceGiveWhatOneThreadGives) {
    const platform::IconvCodePage cp("CP932");
    const std::vector<std::string> texts{"日本語のコメント", "ニュース 表示 ソフト", "abc",
                                         "全角ＡＢＣ", "半角ｶﾅ"};
    std::vector<std::string> encoded;
    for (const auto& t : texts)
        encoded.push_back(*cp.encode(t));
    std::atomic<int> wrong = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                const std::size_t k = static_cast<std::size_t>(i) % texts.size();
                if (cp.decode(encoded[k]) != texts[k] || cp.encode(texts[k]) != encoded[k] ||
                    !cp.isValid(encoded[k])) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace brim::core
