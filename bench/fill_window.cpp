// Times a fill of the window's list against the core walk alone:
//   QT_QPA_PLATFORM=offscreen brimmark-bench-fill ROOT [RUNS=5]
// Prints the median of each in milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/Catalog.h"
#include "platform/Services.h"
#include "platform/posix/PosixKnownFolders.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

namespace {

template <typename F>
double medianMs(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: brimmark-bench-fill ROOT [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string root = brim::platform::withTrailingSeparator(argv[1]);
    qputenv("BRIMMARK_FAVORITES", root.c_str());

    const auto system = brim::platform::makeSystemServices();
    brim::ui::QtPrompts prompts;
    brim::core::Profile profile(*system->fs, *system->codePage, *system->folders);
    brim::core::Catalog catalog(*system->fs, profile, root);

    std::size_t rows = 0;
    const double walk = medianMs(runs, [&] {
        std::vector<brim::core::FavoriteItem> items;
        catalog.allFavorites(items);
        rows = items.size();
    });
    brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
    form.startUp({});
    const double fill = medianMs(runs, [&] { form.rules().allFile(); });
    form.rules().ListView1_ColumnClick(1);
    const double sortedFill = medianMs(runs, [&] { form.rules().allFile(); });
    std::printf("favorites:           %zu\n", rows);
    std::printf("core walk:           %.0f ms\n", walk);
    std::printf("window fill:         %.0f ms (%.2f x the walk)\n", fill, fill / walk);
    std::printf("window fill, sorted: %.0f ms\n", sortedFill);
    return 0;
}
