// The Win32 scheduler on a window of its own: posted tasks run on the
// window's thread in the order each thread posted them, nothing runs once
// the window is gone, and the scheduler waits for its work before it goes.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "win/WindowScheduler.h"

namespace brim::test {
namespace {

using win::WindowScheduler;

LRESULT CALLBACK schedulerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* scheduler = reinterpret_cast<WindowScheduler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (scheduler && (msg == WindowScheduler::wakeMessage() ||
                      (msg == WM_TIMER && wp == WindowScheduler::kTimer))) {
        scheduler->runDue();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class WindowSchedulerTest : public ::testing::Test {
  protected:
    std::unique_ptr<WindowScheduler> scheduler = std::make_unique<WindowScheduler>();
    HWND hwnd = nullptr;

    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = schedulerWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrimmarkSchedulerTest";
        RegisterClassW(&wc);
        // A message-only window: no display needed.
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        ASSERT_TRUE(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(scheduler.get()));
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        scheduler.reset();
    }
    void drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    // Dispatches messages until `done` holds, or for at most a minute.
    bool pumpUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            drain();
        }
        return true;
    }
};

TEST_F(WindowSchedulerTest, TasksRunOnTheWindowsThreadInEachPostersOrder) {
    const struct {
        const char* name;
        bool delayed;       // postAfter rather than post
        bool beforeAttach;  // posted while no window is attached yet
    } cases[] = {
        {"post", false, false},
        {"postAfter", true, false},
        {"post before the window is attached", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DWORD windowThread = GetCurrentThreadId();
        std::map<int, std::vector<int>> seen;  // poster → its tasks, in running order
        std::atomic<int> wrongThread = 0;
        int ran = 0;
        constexpr int kPosters = 4, kTasks = 200;
        std::vector<std::thread> posters;
        for (int p = 0; p < kPosters; ++p) {
            posters.emplace_back([&, p] {
                for (int i = 0; i < kTasks; ++i) {
                    auto task = [&, p, i] {
                        if (GetCurrentThreadId() != windowThread) ++wrongThread;
                        seen[p].push_back(i);
                        ++ran;
                    };
                    if (c.delayed) {
                        scheduler->postAfter(std::chrono::milliseconds(1), task);
                    } else {
                        scheduler->post(task);
                    }
                }
            });
        }
        for (auto& t : posters)
            t.join();
        if (c.beforeAttach) {
            // Nothing comes until the window is there.
            drain();
            EXPECT_EQ(ran, 0);
        }
        scheduler->attach(hwnd);
        ASSERT_TRUE(pumpUntil([&] { return ran == kPosters * kTasks; }));
        EXPECT_EQ(wrongThread, 0);
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(kPosters));
        for (const auto& [poster, order] : seen) {
            std::vector<int> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(order, sorted) << "poster " << poster;
            EXPECT_EQ(sorted.size(), static_cast<std::size_t>(kTasks));
        }
        // A fresh scheduler for the next case, on the same window.
        scheduler = std::make_unique<WindowScheduler>();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(scheduler.get()));
    }
}

TEST_F(WindowSchedulerTest, NothingRunsOnceTheWindowIsGone) {
    const struct {
        const char* name;
        bool delayed;
        bool postedBefore;  // queued before the window went, or posted after
    } cases[] = {
        {"queued task", false, true},
        {"queued delayed task", true, true},
        {"task posted afterwards", false, false},
        {"delayed task posted afterwards", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scheduler->attach(hwnd);
        int ran = 0;
        const auto post = [&] {
            if (c.delayed) {
                scheduler->postAfter(std::chrono::milliseconds(0), [&] { ++ran; });
            } else {
                scheduler->post([&] { ++ran; });
            }
        };
        if (c.postedBefore) post();
        scheduler->detach();
        if (!c.postedBefore) post();
        // A task's own wake-up, or anything posted to a window of the same
        // handle later, finds nothing to run.
        scheduler->runDue();
        drain();
        EXPECT_EQ(ran, 0);
        scheduler = std::make_unique<WindowScheduler>();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(scheduler.get()));
    }
}

TEST_F(WindowSchedulerTest, ItWaitsForItsWorkAndDropsWhatTheWorkPostsAsItGoes) {
    scheduler->attach(hwnd);
    std::atomic<bool> release = false;
    std::atomic<int> ended = 0;
    int ran = 0;
    constexpr int kWorks = 3;
    for (int w = 0; w < kWorks; ++w) {
        scheduler->runInBackground([&, s = scheduler.get()] {
            while (!release)
                std::this_thread::yield();
            // The window's side is gone by now: this must go nowhere.
            s->post([&] { ++ran; });
            ++ended;
        });
    }
    scheduler->detach();
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        release = true;
    });
    scheduler.reset();  // returns only once every work has ended
    EXPECT_EQ(ended, kWorks);
    releaser.join();
    drain();
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace brim::test
