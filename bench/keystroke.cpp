// Times the window's search as the user types, from the keystroke to its
// rows in the list, over the tree ROOT (one made by brimmark-gen-tree):
//   brimmark-bench-keystroke ROOT [KEYSTROKES=50]
// The keystrokes type and rub out words of the tree's comments one letter at
// a time; each waits for its rows before the next. Prints the median and the
// worst time, the rows of the index and what the index adds to the process's
// memory per row.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/SystemServices.h"
#include "app/Window.h"

namespace {

using Clock = std::chrono::steady_clock;

// The list and the count as the rules set them; nothing is drawn.
class CountingView final : public brim::app::View {
  public:
    std::string combo;
    int rowsSet = 0;
    std::size_t shown = 0;
    void setColumns(const std::vector<std::string>&, const std::vector<int>&) override {}
    void setRows(const std::vector<brim::app::Row>& rows) override {
        ++rowsSet;
        shown = rows.size();
    }
    void addRows(const std::vector<brim::app::Row>& rows) override { shown += rows.size(); }
    void setBusy(bool) override {}
    void setRow(int, const brim::app::Row&) override {}
    void setSortIndicator(int, bool) override {}
    void selectRow(int) override {}
    void setCount(const std::string&) override {}
    std::string text(brim::app::Id box) const override {
        return box == brim::app::Id::Combo1 ? combo : std::string();
    }
    void setText(brim::app::Id box, const std::string& t) override {
        if (box == brim::app::Id::Combo1) combo = t;
    }
    void setKeywordItems(const std::vector<std::string>&) override {}
    void offerKeywords(const std::vector<std::string>&) override {}
    void setSizeTwips(brim::app::Twips, brim::app::Sizing) override {}
    brim::app::Twips positionTwips() const override { return {}; }
    void moveTwips(brim::app::Twips) override {}
    void setComboWidthTwips(int) override {}
    void setGoVisible(bool) override {}
    void setMenuEnabled(brim::app::Id, bool) override {}
    void setMenuChecked(brim::app::Id, bool) override {}
    void setTopmost(bool) override {}
    void focus(brim::app::Id) override {}
    void showWindow() override {}
};

// Work on threads of its own; what is posted runs when the loop pumps, as a
// window's message loop runs it.
class LoopScheduler final : public brim::app::Scheduler {
  public:
    ~LoopScheduler() override {
        for (auto& t : threads_)
            t.join();
    }
    void runInBackground(std::function<void()> work) override {
        threads_.emplace_back(std::move(work));
    }
    void post(std::function<void()> task) override { postAfter({}, std::move(task)); }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back({Clock::now() + delay, std::move(task)});
        }
        changed_.notify_all();
    }
    unsigned threads() const override { return std::max(1u, std::thread::hardware_concurrency()); }
    // Runs what is due, waiting a little for it.
    void pump() {
        std::vector<std::function<void()>> due;
        {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(1), [&] { return !queue_.empty(); });
            const auto now = Clock::now();
            for (auto t = queue_.begin(); t != queue_.end();) {
                if (t->due <= now) {
                    due.push_back(std::move(t->task));
                    t = queue_.erase(t);
                } else {
                    ++t;
                }
            }
        }
        for (auto& task : due)
            task();
    }

  private:
    struct Task {
        Clock::time_point due;
        std::function<void()> task;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> queue_;
    std::vector<std::thread> threads_;
};

double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: brimmark-bench-keystroke ROOT [KEYSTROKES]\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.back() != '/') root += '/';
    const int keystrokes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    setenv("BRIMMARK_FAVORITES", root.c_str(), 1);

    const auto system = brim::app::makeSystemServices();
    brim::app::ScriptedPrompts prompts;
    CountingView view;
    LoopScheduler scheduler;
    const double before = residentMiB();
    brim::app::Window window(brim::app::servicesOf(*system), view, prompts, &scheduler);
    const auto started = Clock::now();
    window.startUp({});
    while (window.isFilling())
        scheduler.pump();
    // The index is whole once the fill that made it has been taken.
    while (!window.searchesAsTyped())
        scheduler.pump();
    const double startMs =
        std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    const double after = residentMiB();
    const std::size_t rows = static_cast<std::size_t>(window.itemCount());

    // Words of the comments, typed and rubbed out letter by letter.
    const std::vector<std::string> words = {"needle", "news", "travel", "ニュース", "code"};
    std::vector<std::string> typed;
    for (std::size_t w = 0; typed.size() < static_cast<std::size_t>(keystrokes); ++w) {
        const std::string& word = words[w % words.size()];
        std::string t;
        for (std::size_t i = 0; i < word.size(); ++i) {
            t += word[i];
            // A letter is whole only at the end of its UTF-8 bytes.
            if (i + 1 < word.size() && (static_cast<unsigned char>(word[i + 1]) & 0xC0) == 0x80)
                continue;
            typed.push_back(t);
        }
        for (std::size_t n = t.size(); n-- > 1;) {
            if ((static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) continue;
            typed.push_back(t.substr(0, n));
        }
        typed.push_back({});
    }
    typed.resize(static_cast<std::size_t>(keystrokes));

    std::vector<double> ms;
    std::size_t found = 0;
    for (const auto& text : typed) {
        const int seen = view.rowsSet;
        const auto t0 = Clock::now();
        view.combo = text;
        window.Combo1_Change();
        while (view.rowsSet == seen)
            scheduler.pump();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        found += view.shown;
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("favorites: %zu, keystrokes: %d, rows shown on average: %zu\n", rows, keystrokes,
                found / ms.size());
    std::printf("start-up to a searchable index: %.0f ms\n", startMs);
    std::printf("keystroke to its rows: median %.1f ms, worst %.1f ms\n", sorted[sorted.size() / 2],
                sorted.back());
    std::printf("memory of the window with its list and index: %.0f bytes per row\n",
                rows ? (after - before) * 1024 * 1024 / static_cast<double>(rows) : 0.0);
    return 0;
}
