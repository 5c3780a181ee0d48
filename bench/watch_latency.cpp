// Times how long a change made by another program takes to reach the tree's
// watch's listener: a file is written into one of 20 folders, and the time
// until that folder is reported is taken, one change after another:
//   brimmark-bench-watch [CHANGES=50]
// Prints the median and the worst, with the watch's usual pace and with no
// quiet period (the system's own delay alone), and how long the watch takes
// to start on a tree of 2,000 folders. Builds for Windows too, to be
// run under Wine.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/Win32TreeWatcher.h"
using SystemTreeWatcher = brim::platform::Win32TreeWatcher;
#else
#include "platform/posix/InotifyTreeWatcher.h"
using SystemTreeWatcher = brim::platform::InotifyTreeWatcher;
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

class Stopwatch final : public brim::platform::TreeListener {
  public:
    void foldersChanged(const std::vector<std::string>& folders) override {
        const auto now = Clock::now();
        std::lock_guard lock(mutex_);
        if (std::find(folders.begin(), folders.end(), awaited_) != folders.end()) {
            reached_ = now;
            seen_ = true;
            changed_.notify_all();
        }
    }
    void changesLost(brim::platform::WatchLoss) override {}

    void await(const std::string& folder) {
        std::lock_guard lock(mutex_);
        awaited_ = folder;
        seen_ = false;
    }
    // When the folder was reported; nullopt after 5 s without.
    std::optional<Clock::time_point> reached() {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(5), [&] { return seen_; }))
            return std::nullopt;
        return reached_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string awaited_;
    bool seen_ = false;
    Clock::time_point reached_{};
};

bool measure(const fs::path& root, int changes, brim::platform::WatchPace pace, const char* what) {
    Stopwatch stopwatch;
    SystemTreeWatcher watcher;
    auto started = watcher.watch(utf8(root), stopwatch, pace);
    if (!started.watch) {
        std::fprintf(stderr, "cannot watch %s: error %d\n", utf8(root).c_str(),
                     started.status.sysError);
        return false;
    }
    std::vector<double> ms;
    for (int i = 0; i < changes; ++i) {
        const fs::path folder = root / ("F" + std::to_string(i % 20));
        stopwatch.await(utf8(folder) + static_cast<char>(fs::path::preferred_separator));
        // From the write's start: the folder may be told of at its opening.
        const auto written = Clock::now();
        std::ofstream(folder / ("c" + std::to_string(i) + ".url"), std::ios::binary)
            << "[InternetShortcut]\r\nURL=http://example.test/" << i << "\r\n";
        const auto reached = stopwatch.reached();
        if (!reached) {
            std::fprintf(stderr, "change %d was not reported within 5 s\n", i);
            return false;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(*reached - written).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s changes %d  median %8.2f ms  worst %8.2f ms\n", what, changes,
                ms[ms.size() / 2], ms.back());
    return true;
}

// The start of a watch over `folders` folders in 100 groups, as a Favorites
// tree of that size has them.
bool timeStart(const fs::path& root, int folders) {
    for (int i = 0; i < folders; ++i)
        fs::create_directories(root / ("G" + std::to_string(i % 100)) / ("S" + std::to_string(i)));
    Stopwatch stopwatch;
    SystemTreeWatcher watcher;
    const auto begun = Clock::now();
    auto started = watcher.watch(utf8(root), stopwatch);
    const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - begun).count();
    if (!started.watch) return false;
    std::printf("%-28s folders %d  %8.1f ms\n", "start", folders + 100, ms);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    std::random_device random;
    const fs::path root =
        fs::temp_directory_path() / ("brimmark-watch-" + std::to_string(random()));
    for (int i = 0; i < 20; ++i)
        fs::create_directories(root / ("F" + std::to_string(i)));
    const bool ok =
        measure(root, changes, {}, "usual pace (quiet 150 ms)") &&
        measure(root, changes, {std::chrono::milliseconds(0), std::chrono::milliseconds(0)},
                "no quiet period") &&
        timeStart(root / "big", 2000);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
