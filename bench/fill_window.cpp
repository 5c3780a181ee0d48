// Times the window's fills against the CLI's list over the same tree:
//   QT_QPA_PLATFORM=offscreen brimmark-bench-fill ROOT [RUNS=5]
// For start-up, the full list, a search ("needle", about 1% of a tree made by
// brimmark-gen-tree) and the folder list: the time until the window shows,
// until the first row and until the whole list, medians in milliseconds.
// The search as typed: 50 keystrokes, each until the list shows its rows.
// Then the core walk on one thread and on all, `brimmark-cli list` (run
// beside this program), and the peak memory of this process.

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/SystemServices.h"
#include "bench/keystrokes.h"
#include "core/Catalog.h"
#include "platform/posix/PosixKnownFolders.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

namespace {

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename F>
double medianMs(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// Times of one fill: until the command returned, the first row, the end.
struct FillTimes {
    std::vector<double> shown, first, full;
    void print(const char* what) const {
        std::printf("%-22s shown %6.0f   first row %6.0f   whole list %6.0f ms\n", what,
                    median(shown), median(first), median(full));
    }
};

// Types `texts` into the keyword box one after another, as the box tells the
// window of each keystroke, and times each until the list shows its rows
// (the model reset by them): search, rows to the window's thread, the model's
// copy. Empty when some keystroke showed nothing within ten seconds.
std::vector<double> timeTyping(brim::ui::Form1& form, const std::vector<std::string>& texts) {
    QAbstractItemModel* model = form.findChild<QTreeView*>("ListView1")->model();
    auto* combo = form.findChild<QComboBox*>("Combo1");
    bool shown = false;
    const auto reset =
        QObject::connect(model, &QAbstractItemModel::modelReset, [&] { shown = true; });
    std::vector<double> times;
    for (const auto& text : texts) {
        shown = false;
        QElapsedTimer t;
        t.start();
        combo->setEditText(QString::fromStdString(text));
        form.rules().Combo1_Change();
        while (!shown && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!shown) {
            times.clear();
            break;
        }
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    QObject::disconnect(reset);
    return times;
}

// Runs `command`, then the event loop until the fill it started has ended.
void timeFill(brim::ui::Form1& form, FillTimes& times, const std::function<void()>& command) {
    QAbstractItemModel* model = form.findChild<QTreeView*>("ListView1")->model();
    QElapsedTimer t;
    double first = -1;
    bool cleared = false;  // the command has emptied the list; rows from now on are new
    const auto seen = [&] {
        if (cleared && first < 0 && model->rowCount() > 0) first = t.nsecsElapsed() / 1e6;
    };
    const auto inserted = QObject::connect(model, &QAbstractItemModel::rowsInserted, seen);
    const auto reset = QObject::connect(model, &QAbstractItemModel::modelReset, seen);
    t.start();
    command();
    times.shown.push_back(t.nsecsElapsed() / 1e6);
    cleared = true;
    seen();
    while (form.rules().isFilling())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    times.full.push_back(t.nsecsElapsed() / 1e6);
    seen();
    times.first.push_back(first);
    QObject::disconnect(inserted);
    QObject::disconnect(reset);
}

// The most memory this process has held, in MiB.
double peakMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
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

    const auto system = brim::app::makeSystemServices();
    brim::ui::QtPrompts prompts;

    FillTimes startUp, all, search, folders, sorted;
    std::vector<double> typing;
    std::size_t rows = 0;
    for (int i = 0; i < runs; ++i) {
        brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
        timeFill(form, startUp, [&] { form.startUp({}); });
        rows = static_cast<std::size_t>(form.rules().itemCount());
    }
    const double windowPeak = peakMiB();
    {
        brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
        form.startUp({});
        form.rules().finishFill();
        for (int i = 0; i < runs; ++i) {
            timeFill(form, all, [&] { form.rules().allFile(); });
            timeFill(form, search, [&] {
                form.findChild<QComboBox*>("Combo1")->setEditText("needle");
                form.rules().Command8_Click();
            });
            timeFill(form, folders, [&] { form.rules().Command1_Click(); });
        }
        typing = timeTyping(form, benchKeystrokes(50));
        form.rules().ListView1_ColumnClick(1);
        for (int i = 0; i < runs; ++i)
            timeFill(form, sorted, [&] { form.rules().allFile(); });
    }

    brim::core::Profile profile(*system->fs, *system->codePage, *system->folders);
    brim::core::Catalog catalog(*system->fs, profile, root);
    const auto walk = [&](unsigned threads) {
        return medianMs(runs, [&] {
            std::vector<brim::core::FavoriteItem> items;
            catalog.allFavorites(items, {}, {threads, {}});
        });
    };
    const double oneThread = walk(1);
    const double allThreads = walk(brim::core::machineThreads());

    const QString cli = QCoreApplication::applicationDirPath() + "/../cli/brimmark-cli";
    const double cliList = medianMs(runs, [&] {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(cli, {"--favorites", QString::fromStdString(root), "list"});
        p.waitForFinished(-1);
    });

    std::printf("favorites: %zu, runs: %d, threads: %u\n", rows, runs,
                brim::core::machineThreads());
    startUp.print("start-up");
    all.print("list everything");
    sorted.print("the same, sorted");
    search.print("search \"needle\"");
    folders.print("folder list");
    if (typing.empty()) {
        std::printf("typing: a keystroke showed no rows\n");
    } else {
        std::printf("typing, %zu keystrokes   median %6.1f   worst %6.1f ms to their rows\n",
                    typing.size(), median(typing), *std::max_element(typing.begin(), typing.end()));
    }
    std::printf("core walk, 1 thread     %6.0f ms\n", oneThread);
    std::printf("core walk, %u threads   %6.0f ms\n", brim::core::machineThreads(), allThreads);
    std::printf("brimmark-cli list       %6.0f ms (whole list / CLI: %.2f)\n", cliList,
                median(all.full) / cliList);
    std::printf("peak memory             %6.0f MiB after start-up, %.0f MiB in all\n", windowPeak,
                peakMiB());
    return 0;
}
