// Times an import of many bookmarks and reports its peak memory:
//   brimmark-bench-import [BOOKMARKS=100000] [PER_FOLDER=50]
// Writes a Chromium "Bookmarks" file and a Netscape bookmark file of that
// size into a temporary folder, then reads each and imports it into a fresh
// Favorites folder there.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Catalog.h"
#include "core/Profile.h"
#include "core/import/Bookmarks.h"
#include "core/import/Readers.h"
#include "platform/Services.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const long total = argc > 1 ? std::atol(argv[1]) : 100000;
    const long perFolder = argc > 2 ? std::max(1L, std::atol(argv[2])) : 50;
    const fs::path dir = fs::temp_directory_path() / "brimmark-bench-import";
    fs::remove_all(dir);
    fs::create_directories(dir);

    std::string json = R"({"roots":{"bookmark_bar":{"type":"folder","name":"bar","children":[)";
    std::string html =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
        "CONTENT=\"text/html; charset=UTF-8\">\n<DL><p>\n";
    for (long i = 0; i < total; i += perFolder) {
        const std::string folder = "フォルダ " + std::to_string(i / perFolder);
        json += (i ? "," : "") + std::string(R"({"type":"folder","name":")") + folder +
                R"(","children":[)";
        html += "<DT><H3>" + folder + "</H3>\n<DL><p>\n";
        for (long j = i; j < std::min(total, i + perFolder); ++j) {
            const std::string n = std::to_string(j);
            json += (j > i ? "," : "") + std::string(R"({"type":"url","name":"ページ )") + n +
                    R"(","url":"https://example.jp/page/)" + n + "\"}";
            html += "<DT><A HREF=\"https://example.jp/page/" + n + "\">ページ " + n +
                    "</A>\n<DD>説明 " + n + "\n";
        }
        json += "]}";
        html += "</DL><p>\n";
    }
    json += "]}}}";
    html += "</DL><p>\n";
    std::printf("bookmarks: %ld in folders of %ld (%.1f MB JSON, %.1f MB HTML)\n", total, perFolder,
                json.size() / 1e6, html.size() / 1e6);

    const auto services = brim::platform::makeSystemServices();
    const brim::core::Profile profile(*services->fs, *services->codePage, *services->folders);
    const auto run = [&](const char* what, const std::string& into, auto read) {
        const auto start = Clock::now();
        const brim::core::import::ReadResult r = read();
        const double readMs = msSince(start);
        if (!r.tree) {
            std::printf("%s: %s\n", what, r.error.c_str());
            return false;
        }
        const brim::core::Catalog catalog(*services->fs, profile, (dir / "Favorites/").string());
        const auto write = Clock::now();
        const auto s = brim::core::import::ImportBookmarks(catalog, *r.tree, into, false);
        std::printf("%-9s read %6.0f ms, write %6.0f ms, %zu imported, peak memory %ld MB\n", what,
                    readMs, msSince(write), s.imported, peakKb() / 1024);
        return s.imported == static_cast<std::size_t>(total);
    };
    const bool ok = run("Chromium", "chromium",
                        [&] { return brim::core::import::ReadChromiumBookmarks(json); }) &&
                    run("Netscape", "netscape",
                        [&] { return brim::core::import::ReadNetscapeBookmarks(html); });
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
