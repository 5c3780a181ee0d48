// Times the Windows window's fills over a tree, under Wine or on Windows:
//   brimmark-bench-fill-win.exe ROOT [RUNS=5]
// For start-up (the first cold, writing the rows' cache; the others warm), the full list, a search
// ("needle", about 1% of a tree made by brimmark-gen-tree) and the folder list: the time until the
// command came back (the window answers again), until the first row and until the whole list,
// medians in milliseconds; then the core walk alone. Needs a display. bench/windows-fill.sh makes
// the tree and runs it.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Catalog.h"
#include "core/Profile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#include "win/Form1Window.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The tree given, and settings in a folder of their own.
struct BenchFolders final : brim::platform::KnownFolders {
    std::string root, scratch;
    std::string favorites() const override { return root; }
    std::string desktop() const override { return scratch; }
    std::string sendTo() const override { return scratch; }
    std::string programFolder() const override { return scratch; }
    std::string settingsFile() const override { return scratch + "Brimmark.ini"; }
    std::string cacheFolder() const override { return scratch + "cache\\"; }
};
struct NoOpener final : brim::platform::Opener {
    std::string open(const std::string&) override { return {}; }
};
struct NoPages final : brim::platform::PageSource {
    std::vector<brim::platform::BrowserPage> openPages() override { return {}; }
};
struct NoTrash final : brim::platform::Trash {
    brim::platform::IoResult moveToTrash(const std::string&) override { return {}; }
};
struct NoShortcuts final : brim::platform::ProgramShortcuts {
    brim::platform::IoResult create(const std::string&) override { return {}; }
};

struct FillTimes {
    std::vector<double> shown, first, full;
    void print(const char* what) const {
        std::printf("%-22s answers %6.0f   first row %6.0f   whole list %6.0f ms\n", what,
                    median(shown), median(first), median(full));
    }
};

// Runs `command`, then the message loop until the fill it started has ended.
void timeFill(brim::win::Form1Window& form, FillTimes& times,
              const std::function<void()>& command) {
    HWND list = GetDlgItem(form.hwnd(), +brim::app::Id::ListView1);
    const auto start = Clock::now();
    command();
    times.shown.push_back(msSince(start));
    double first = -1;
    for (;;) {
        if (first < 0 && ListView_GetItemCount(list) > 0) first = msSince(start);
        if (!form.rules().isFilling()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (form.preTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    times.full.push_back(msSince(start));
    times.first.push_back(first < 0 ? msSince(start) : first);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: brimmark-bench-fill-win ROOT [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    BenchFolders folders;
    folders.root = brim::win::utf8(argv[1]);
    if (folders.root.back() != '\\') folders.root += '\\';
    const auto scratch = std::filesystem::temp_directory_path() / "brimmark-bench-fill";
    std::error_code left;
    std::filesystem::remove_all(scratch, left);  // no cache of an earlier run
    std::filesystem::create_directories(scratch);
    folders.scratch = brim::win::utf8(scratch.wstring()) + "\\";
    brim::platform::Win32FileSystem fs;
    brim::platform::Win32CodePage codePage(GetACP());
    brim::platform::Win32CaseMapper caseMapper;
    NoOpener opener;
    NoPages pages;
    NoTrash trash;
    NoShortcuts shortcuts;
    // The fills never import: the system's locator stands there unused.
    const auto browsers = brim::platform::makeBrowserProfiles();
    const brim::app::Services services{fs,    codePage, folders,   caseMapper, opener,
                                       pages, trash,    shortcuts, *browsers};

    // The first start-up reads every file and writes the rows' cache; the
    // later ones are warm.
    FillTimes coldStartUp, startUp, all, search, folderList;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        brim::win::Form1Window form(services);
        if (!form.create()) {
            std::fprintf(stderr, "no window (no display?)\n");
            return 1;
        }
        timeFill(form, i == 0 ? coldStartUp : startUp, [&] { form.startUp({}); });
        rows = form.rules().itemCount();
        if (i + 1 < runs) continue;
        for (int j = 0; j < runs; ++j) {
            timeFill(form, all, [&] { form.rules().allFile(); });
            timeFill(form, search, [&] {
                brim::win::setWindowText(GetDlgItem(form.hwnd(), +brim::app::Id::Combo1), "needle");
                form.rules().Command8_Click();
            });
            timeFill(form, folderList, [&] { form.rules().Command1_Click(); });
        }
    }

    brim::core::Profile profile(fs, codePage, folders);
    brim::core::Catalog catalog(fs, profile, folders.root);
    const auto walk = [&](unsigned threads) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            std::vector<brim::core::FavoriteItem> items;
            catalog.allFavorites(items, {}, {threads, {}});
            times.push_back(msSince(start));
        }
        return median(times);
    };

    std::printf("%d favorites, %d runs, %u threads\n", rows, runs, brim::core::machineThreads());
    coldStartUp.print("start-up, cold");
    if (!startUp.full.empty()) startUp.print("start-up, warm");
    all.print("every favorite");
    search.print("search \"needle\"");
    folderList.print("folder list");
    std::printf("%-22s one thread %6.0f   all threads %6.0f ms\n", "core walk", walk(1),
                walk(brim::core::machineThreads()));
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
