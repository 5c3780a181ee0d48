// A walk stopped at any moment ends soon, its threads joined, its rows a
// prefix of the whole walk's, on every system. Hundreds of walks on several
// threads with a short read-ahead, so that the helpers and the delivery wait
// on each other often, each stopped from another thread at a random moment.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include "CatalogFixture.h"
#include "Watchdog.h"
#include "core/ParallelWalk.h"

namespace brim::core {
namespace {

using Log = std::vector<std::string>;

int stressRounds() {
    const char* set = std::getenv("BRIMMARK_STRESS_ROUNDS");
    const int n = set ? std::atoi(set) : 0;
    return n > 0 ? n : 300;
}

class WalkStopStressTest : public test::CatalogFixture {
  protected:
    // 24 folders in two levels, 6 favorites in each and 4 on top.
    void SetUp() override {
        for (int i = 0; i < 4; ++i)
            test::writeShortcut(root + "top" + std::to_string(i) + ".url", "http://top/");
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 4; ++b) {
                const std::string folder =
                    root + "F" + std::to_string(a) + "/" + (b ? "G" + std::to_string(b) + "/" : "");
                for (int n = 0; n < 6; ++n)
                    test::writeShortcut(test::native(folder + "n" + std::to_string(n) + ".url"),
                                        "http://x/" + std::to_string(a * 100 + b * 10 + n));
            }
        }
    }
    // With `holdAt`, the row of that number waits until the walk's stop has
    // been asked for (at most 60 s): the stop then surely lands while the
    // walk runs and its helpers wait, however the threads are scheduled.
    Log walk(const WalkControl& control, std::atomic<std::size_t>* delivered = nullptr,
             std::size_t holdAt = 0) {
        Log rows;
        catalog.ListDir(
            root,
            [&](FavoriteItem&& r) {
                rows.push_back(r.folder + r.name);
                if (delivered) ++*delivered;
                if (holdAt && rows.size() == holdAt) {
                    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                    while (!control.stopped() && std::chrono::steady_clock::now() < giveUp)
                        std::this_thread::yield();
                }
            },
            {}, control);
        return rows;
    }
};

TEST_F(WalkStopStressTest, AWalkStoppedAtAnyMomentEndsWithAPrefixOfItsRows) {
    const Log whole = walk({});
    ASSERT_EQ(whole.size(), 4u + 6 * 4 * 6);
    std::mt19937 random(20261208);
    const int rounds = stressRounds();
    int heldRounds = 0;
    for (int round = 0; round < rounds; ++round) {
        StopSource stop;
        WalkControl control{2 + static_cast<unsigned>(round % 3), &stop};
        control.readAhead = 1 + random() % 6;
        // The stop comes from this thread once the walk has delivered this
        // many rows; every other round the walk holds there until it comes.
        const std::size_t stopAt = random() % (whole.size() + 8);
        const bool held = round % 2 && stopAt > 0 && stopAt < whole.size();

        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::atomic<std::size_t> delivered = 0;
        std::atomic<bool> walked = false;
        Log rows;
        std::thread walking([&] {
            Log found = walk(control, &delivered, held ? stopAt : 0);
            walked = true;
            const std::lock_guard lock(mutex);
            rows = std::move(found);
            done = true;
            ended.notify_all();
        });
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (delivered < stopAt && !walked && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::yield();
        stop.request();
        {
            std::unique_lock lock(mutex);
            if (!ended.wait_for(lock, std::chrono::seconds(60), [&] { return done; }))
                test::reportHang("round " + std::to_string(round) +
                                 ": the walk did not end within 60 s of its stop");
        }
        walking.join();
        ASSERT_LE(rows.size(), whole.size()) << "round " << round;
        ASSERT_EQ(rows,
                  Log(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(rows.size())))
            << "round " << round;
        // A stop asked for while the walk ran ends it after the row it was
        // delivering, well before the whole list.
        if (held) {
            ASSERT_GE(rows.size(), stopAt) << "round " << round;
            ASSERT_LT(rows.size(), whole.size()) << "round " << round;
            ++heldRounds;
        }
    }
    EXPECT_GT(heldRounds, rounds / 4);
}

}  // namespace
}  // namespace brim::core
