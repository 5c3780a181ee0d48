// Saves that are stopped at random points or run against each other: the
// favorite on disk is always one whole save, never a mix of two.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <thread>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "core/Editing.h"

namespace brim::core {
namespace {

struct Pair {
    std::string url;
    std::string comment;
};

// Long comments, so that a write takes long enough to be caught in the middle.
const Pair kPairs[] = {
    {"http://first.example/", "一番目 " + std::string(3000, 'a')},
    {"http://second.example/", "二番目 " + std::string(5000, 'b')},
    {"http://third.example/", "三番目"},
};

class SaveSafetyTest : public test::CatalogFixture {
  protected:
    void SetUp() override {
        test::makeFolders(root + "Links");
        // A file with lines of the browser's own, which every save keeps.
        test::writeFile(path, "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=" +
                                  kPairs[0].url + "\r\nIconIndex=1\r\n[CommentKey]\r\nWords=" +
                                  test::cp932(kPairs[0].comment) + "\r\n");
    }

    // Saves the first two pairs in turn (starting with `first`), or the third
    // alone, until killed or `count` saves are done.
    [[noreturn]] void saveInChild(std::size_t first, int count) {
        for (int i = 0; count < 0 || i < count; ++i) {
            const Pair& p =
                first == 2 ? kPairs[2] : kPairs[(first + static_cast<std::size_t>(i)) % 2];
            // A save refused because the other writer held the lock past the
            // wait (a loaded machine) changed nothing and is made again.
            for (;;) {
                const SaveResult r = Savefiles(catalog, {"Fav", p.url, p.comment, "\\Links\\"});
                if (r) break;
                if (r.status.io.error != platform::IoError::Busy) _exit(2);
            }
        }
        _exit(0);
    }

    // The pair the file holds, or -1 when it holds a mix or lost the other lines.
    int pairOnDisk() const {
        const std::string text = test::readFile(path);
        if (text.find("[DEFAULT]\r\nBASEURL=http://base/\r\n") != 0 ||
            text.find("\r\nIconIndex=1\r\n") == std::string::npos) {
            return -1;
        }
        const ShortcutValues v = profile.ReadShortcut(path);
        for (int i = 0; i < 3; ++i) {
            if (v.url == kPairs[i].url && v.comment == kPairs[i].comment) return i;
        }
        return -1;
    }

    // Favorites a walk lists, and leftover temporary files.
    std::size_t listed() const {
        std::vector<FavoriteItem> rows;
        EXPECT_TRUE(catalog.allFavorites(rows));
        return rows.size();
    }
    std::size_t temporaries() const {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(root + "Links")) {
            if (e.path().filename().string().rfind(".brimmark-", 0) == 0) ++n;
        }
        return n;
    }

    const std::string path = root + "Links/Fav.url";
};

TEST_F(SaveSafetyTest, AKilledSaveLeavesOneWholePair) {
    constexpr int kKills = 200;
    // Kills spread over a few saves' time, so that they land anywhere in a
    // save and also between saves; a save's time depends on the disk.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Savefiles(catalog, {"Fav", kPairs[0].url, kPairs[0].comment, "\\Links\\"}));
    }
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start) /
                         4;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int64_t> delay(0, 4 * oneSave.count() + 2000);
    int seen[2] = {0, 0};
    for (int k = 0; k < kKills; ++k) {
        // The child says when it starts saving, so that the time a fork takes
        // does not eat the window the kill is aimed at.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            const char go = 1;
            if (write(ready[1], &go, 1) != 1) _exit(3);
            saveInChild(static_cast<std::size_t>(k % 2), -1);
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself at kill " << k;
        const int pair = pairOnDisk();
        ASSERT_GE(pair, 0) << "a mixed or damaged file after kill " << k;
        ++seen[pair];
        ASSERT_EQ(listed(), 1u) << "after kill " << k;
    }
    // Kills landed both before and after saves completed.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    RecordProperty("save_us", static_cast<int>(oneSave.count()));
    RecordProperty("kills", kKills);
    RecordProperty("first", seen[0]);
    RecordProperty("second", seen[1]);
    RecordProperty("temporaries", static_cast<int>(temporaries()));
}

TEST_F(SaveSafetyTest, TwoSavingProcessesNeverMix) {
    constexpr int kSaves = 150;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        // One child alternates the first two pairs, the other saves the third.
        if (children[c] == 0) saveInChild(c == 0 ? 0 : 2, kSaves);
    }
    int reads = 0;
    int mixed = 0;
    int statuses[2] = {-1, -1};
    while (statuses[0] < 0 || statuses[1] < 0) {
        for (int c = 0; c < 2; ++c) {
            int status = 0;
            if (statuses[c] < 0 && waitpid(children[c], &status, WNOHANG) == children[c]) {
                statuses[c] = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            }
        }
        if (pairOnDisk() < 0) ++mixed;
        ++reads;
    }
    EXPECT_EQ(statuses[0], 0);
    EXPECT_EQ(statuses[1], 0);
    EXPECT_EQ(mixed, 0) << "of " << reads << " reads";
    EXPECT_GE(pairOnDisk(), 0);
    RecordProperty("reads", reads);
    EXPECT_EQ(listed(), 1u);
    EXPECT_EQ(temporaries(), 0u);
}

}  // namespace
}  // namespace brim::core
