// Times a fill of the window's list against the core walk alone:
//   QT_QPA_PLATFORM=offscreen brimmark-bench-fill ROOT [RUNS=5]
// Prints the median of each in milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/Catalog.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSpecialFolders.h"
#include "platform/posix/SessionPages.h"
#include "platform/posix/SpawnOpener.h"
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

    brim::platform::PosixFileSystem fs;
    brim::platform::IconvCodePage cp("CP932");
    brim::platform::PosixSpecialFolders folders;
    brim::ui::ScriptedDialogs dialogs;
    brim::core::Profile profile(fs, cp, folders);
    brim::core::Catalog catalog(fs, profile, root);

    std::size_t rows = 0;
    const double walk = medianMs(runs, [&] {
        std::vector<brim::core::FavoriteItem> items;
        catalog.allFavorites(items);
        rows = items.size();
    });
    brim::platform::LocaleCaseMapper caseMapper;
    brim::platform::SpawnOpener opener("true");  // nothing is opened here
    brim::platform::SessionPages pages("", {});  // no browser pages: the start lists favorites
    brim::platform::FreedesktopTrash trash("/nonexistent");  // nothing goes to a trash here
    brim::ui::Form1 form({fs, cp, folders, caseMapper, opener, pages, trash, dialogs});
    form.startUp({});
    const double fill = medianMs(runs, [&] { form.allFile(); });
    form.ListView1_ColumnClick(1);
    const double sortedFill = medianMs(runs, [&] { form.allFile(); });
    std::printf("favorites:           %zu\n", rows);
    std::printf("core walk:           %.0f ms\n", walk);
    std::printf("window fill:         %.0f ms (%.2f x the walk)\n", fill, fill / walk);
    std::printf("window fill, sorted: %.0f ms\n", sortedFill);
    return 0;
}
