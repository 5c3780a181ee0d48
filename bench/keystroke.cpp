// Times the window's search as the user types, from the keystroke to its
// rows in the list, over the tree ROOT (one made by brimmark-gen-tree):
//   brimmark-bench-keystroke ROOT [KEYSTROKES=50] [CHANGES=20]
// The keystrokes type and rub out words of the tree's comments one letter at
// a time; each waits for its rows before the next. Then, with the whole list
// shown, the comments of files spread over the tree are rewritten as another
// program would, one after another, each timed until its row shows the new
// comment (the tree's watch, the folder read again and the list's search).
// Prints the median and the worst of each, the rows of the index and what
// the index adds to the process's memory per row. The changed files keep
// their new comments.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/SystemServices.h"
#include "app/Window.h"
#include "bench/keystrokes.h"
#include "core/ParallelWalk.h"

namespace {

using Clock = std::chrono::steady_clock;

// The list and the count as the rules set them; nothing is drawn.
class CountingView final : public brim::app::View {
  public:
    std::string combo;
    int rowsSet = 0;
    std::size_t shown = 0;
    // A comment looked for in every row the list is given; seen once there.
    std::string marker;
    bool markerSeen = false;
    void setColumns(const std::vector<std::string>&, const std::vector<int>&) override {}
    void setRows(const std::vector<brim::app::Row>& rows) override {
        ++rowsSet;
        shown = rows.size();
        look(rows);
    }
    void addRows(const std::vector<brim::app::Row>& rows) override {
        shown += rows.size();
        look(rows);
    }
    void setBusy(bool) override {}
    void setRow(int, const brim::app::Row& row) override { look({row}); }
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

  private:
    void look(const std::vector<brim::app::Row>& rows) {
        if (marker.empty() || markerSeen) return;
        for (const auto& row : rows) {
            for (const auto& cell : row) {
                if (cell == marker) markerSeen = true;
            }
        }
    }
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
    unsigned threads() const override { return brim::core::machineThreads(); }
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

double median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Rewrites the comment (Words=) of `count` files spread over the tree, in
// place as an editor does, and times each until the list shows it; empty
// when a row was not seen within ten seconds.
std::vector<double> changesToRows(const std::string& root, int count, CountingView& view,
                                  brim::app::Window& window, LoopScheduler& scheduler) {
    // The whole list, as typing nothing shows it.
    view.combo.clear();
    const int seen = view.rowsSet;
    window.Combo1_Change();
    while (view.rowsSet == seen)
        scheduler.pump();

    std::vector<std::filesystem::path> files;
    std::size_t n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (e.is_regular_file() && e.path().extension() == ".url" && n++ % 997 == 0)
            files.push_back(e.path());
    }
    std::vector<double> ms;
    for (int c = 0; c < count && !files.empty(); ++c) {
        const auto& file = files[static_cast<std::size_t>(c) % files.size()];
        std::string text;
        {
            std::ifstream in(file, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        const auto words = text.find("Words=");
        if (words == std::string::npos) continue;
        const auto end = text.find('\r', words);
        view.marker = "changed " + std::to_string(Clock::now().time_since_epoch().count());
        view.markerSeen = false;
        text.replace(words + 6, end == std::string::npos ? std::string::npos : end - words - 6,
                     view.marker);
        const auto t0 = Clock::now();
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << text;
        }
        while (!view.markerSeen && Clock::now() - t0 < std::chrono::seconds(10))
            scheduler.pump();
        if (!view.markerSeen) return {};
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: brimmark-bench-keystroke ROOT [KEYSTROKES] [CHANGES]\n");
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

    const std::vector<std::string> typed = benchKeystrokes(static_cast<std::size_t>(keystrokes));

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
    const int changes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    std::printf("favorites: %zu, keystrokes: %d, rows shown on average: %zu\n", rows, keystrokes,
                found / ms.size());
    std::printf("start-up to a searchable index: %.0f ms\n", startMs);
    std::printf("keystroke to its rows: median %.1f ms, worst %.1f ms\n", median(ms),
                sorted.back());
    std::printf("memory of the window with its list and index: %.0f bytes per row\n",
                rows ? (after - before) * 1024 * 1024 / static_cast<double>(rows) : 0.0);

    std::printf("rows of a change by another program: ");
    std::fflush(stdout);
    const std::vector<double> changed = changesToRows(root, changes, view, window, scheduler);
    if (changed.empty()) {
        std::printf("none seen\n");
        return 1;
    }
    std::printf("median %.0f ms, worst %.0f ms (%zu changes)\n", median(changed),
                *std::max_element(changed.begin(), changed.end()), changed.size());
    return 0;
}
