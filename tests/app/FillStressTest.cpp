// Hundreds of windows whose fills are replaced, stopped and closed at random
// moments, the walks on threads of their own and some held at a gate: every
// window ends within a bound, its walks joined, and a fill left to its end
// shows exactly what a fill on one thread shows.

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>

#include "GatedFileSystem.h"
#include "ThreadScheduler.h"
#include "Watchdog.h"
#include "WindowFixture.h"

namespace brim::test {
namespace {

using app::Id;

int stressRounds() {
    const char* set = std::getenv("BRIMMARK_STRESS_ROUNDS");
    const int n = set ? std::atoi(set) : 0;
    return n > 0 ? n : 200;
}

// Ends the process with a report when the guarded section outlives its limit.
class Deadline {
  public:
    Deadline(std::string what, std::chrono::seconds limit)
        : thread_([this, what = std::move(what), limit] {
              std::unique_lock lock(mutex_);
              if (!changed_.wait_for(lock, limit, [this] { return done_; })) reportHang(what);
          }) {}
    ~Deadline() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread thread_;  // last: it uses the members above
};

class FillStressTest : public WindowFixture {
  protected:
    GatedFileSystem gated{fs};

    // 12 folders of 15 favorites; every fifth has the same address, every
    // third a comment with "note".
    void SetUp() override {
        // The walks are held at reads, which a cache that vouches for a file spares.
        setting("rowcache", "value", " 10");
        for (int d = 0; d < 12; ++d) {
            for (int n = 0; n < 15; ++n) {
                const int i = d * 15 + n;
                writeShortcut(
                    native(root + "D" + std::to_string(d) + "/n" + std::to_string(n) + ".url"),
                    i % 5 ? "http://site/" + std::to_string(i) : "http://same/",
                    i % 3 ? "" : "note " + std::to_string(i));
            }
        }
    }
};

TEST_F(FillStressTest, FillsReplacedStoppedAndClosedAtRandomMomentsAllEnd) {
    // What each command shows once its fill has run to its end.
    struct Command {
        const char* name;
        std::function<void(app::Window&, FakeView&)> run;
        std::vector<app::Row> expected;
    };
    std::vector<Command> commands{
        {"every favorite", [](app::Window& w, FakeView&) { w.allFile(); }, {}},
        {"search", [](app::Window& w, FakeView&) { w.searchFile("note"); }, {}},
        {"folders", [](app::Window& w, FakeView&) { w.Command1_Click(); }, {}},
        {"same",
         [](app::Window& w, FakeView& v) {
             v.boxes[Id::Text4] = "http://same/";
             w.Command2_Click();
         },
         {}},
    };
    for (Command& c : commands) {
        app::Window& w = start();
        c.run(w, view);
        c.expected = view.rows;
        ASSERT_FALSE(c.expected.empty()) << c.name;
    }
    window.reset();

    // Files a walk may be held at.
    std::vector<std::string> held;
    for (int d = 0; d < 12; d += 3)
        held.push_back(native("D" + std::to_string(d) + "/n7.url"));

    std::mt19937 random(1208);
    const auto chance = [&](unsigned in) { return random() % in == 0; };
    const int rounds = stressRounds();
    ThreadScheduler scheduler;
    int finishedWhole = 0, closedMidFill = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Deadline deadline("round " + std::to_string(round) + " did not end within 120 s",
                                std::chrono::seconds(120));
        const bool gate = chance(2);
        if (gate) gated.close(held[random() % held.size()]);
        // The held read goes on after a while, as a slow disk's would.
        std::thread opening([&, wait = std::chrono::microseconds(random() % 4000)] {
            std::this_thread::sleep_for(wait);
            gated.open();
        });
        view = FakeView{};
        window = std::make_unique<app::Window>(app::Services{gated, cp, folders, caseMapper, opener,
                                                             pages, trash, shortcuts, browsers},
                                               view, prompts, &scheduler);
        window->startUp({});
        const Command* last = &commands[0];
        bool stopped = false;
        for (unsigned steps = random() % 6; steps > 0; --steps) {
            if (chance(4)) {
                window->stopFill();
                stopped = true;
            } else {
                last = &commands[random() % commands.size()];
                last->run(*window, view);
                stopped = false;
            }
            if (chance(2)) scheduler.pump(std::chrono::milliseconds(random() % 3));
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 500));
        }
        if (chance(2)) {
            // Closed now, whatever still runs.
            window.reset();
            ++closedMidFill;
        } else {
            gated.open();
            ASSERT_TRUE(scheduler.pumpUntil([&] { return !window->isFilling(); }));
            if (!stopped) {
                EXPECT_EQ(view.rows, last->expected) << last->name;
                ++finishedWhole;
            }
            window.reset();
        }
        opening.join();
        // What the walks posted after their window went finds none.
        scheduler.pump();
    }
    EXPECT_GT(finishedWhole, rounds / 10);
    EXPECT_GT(closedMidFill, rounds / 10);
}

}  // namespace
}  // namespace brim::test
