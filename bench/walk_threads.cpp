// Times the core walk of every favorite, reading every file, on one thread
// and on each number up to the machine's:
//   brimmark-bench-walk TREE [RUNS=5]
// The median of the runs is printed for each number of threads.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Catalog.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixKnownFolders.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: brimmark-bench-walk TREE [RUNS]\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.back() != '/') root += '/';
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    brim::platform::PosixFileSystem fs;
    const brim::platform::IconvCodePage cp("CP932");
    const brim::platform::PosixKnownFolders folders;
    const brim::core::Profile profile(fs, cp, folders);
    const brim::core::Catalog catalog(fs, profile, root);
    std::vector<brim::core::FavoriteItem> rows;
    catalog.allFavorites(rows);  // the disk's cache warmed
    std::printf("favorites: %zu, runs: %d\n", rows.size(), runs);
    for (unsigned threads = 1; threads <= std::max(2u, brim::core::machineThreads()); ++threads) {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            const auto start = std::chrono::steady_clock::now();
            catalog.allFavorites(rows, {}, {threads});
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("core walk, %u thread%s %6.0f ms\n", threads, threads == 1 ? " " : "s",
                    ms[ms.size() / 2]);
    }
    return 0;
}
