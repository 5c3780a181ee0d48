// Peak memory and time of reading browser session files:
//   brimmark-bench-sessions [TABS=500] [ENTRIES=8]
// Builds a Firefox session store shaped like a real one (TABS tabs of
// ENTRIES history entries each, with the fields Firefox writes beside the
// address and title) and a few hostile ones, then reads each in a child
// process and reports the growth of its peak resident memory (VmHWM, reset
// through /proc/self/clear_refs before the read) and the time taken.

#include <lz4.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/SessionFiles.h"

namespace {

std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

std::string pack(const std::string& json) {
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(json.size()))),
                      '\0');
    block.resize(static_cast<std::size_t>(LZ4_compress_default(
        json.data(), block.data(), static_cast<int>(json.size()), static_cast<int>(block.size()))));
    return std::string("mozLz40\0", 8) + le32(static_cast<std::uint32_t>(json.size())) + block;
}

void appendLength(std::string& out, std::size_t rest) {
    for (; rest >= 255; rest -= 255)
        out += '\xFF';
    out += static_cast<char>(rest);
}

// `head`, `count` bytes of "a" and `tail`, packed as one match.
std::string bomb(const std::string& head, std::size_t count, const std::string& tail) {
    const std::string first = head + "a";
    std::string block(1, '\xFF');
    appendLength(block, first.size() - 15);
    block += first;
    block += std::string("\x01\x00", 2);
    appendLength(block, count - 1 - 4 - 15);
    block += static_cast<char>(tail.size() << 4);
    block += tail;
    return std::string("mozLz40\0", 8) +
           le32(static_cast<std::uint32_t>(first.size() + count - 1 + tail.size())) + block;
}

std::string realistic(int tabs, int entries) {
    std::string json = R"({"version":["sessionrestore",1],"windows":[{"tabs":[)";
    for (int t = 0; t < tabs; ++t) {
        json += t ? ",{\"entries\":[" : "{\"entries\":[";
        for (int e = 0; e < entries; ++e) {
            const std::string id = std::to_string(t * 100 + e);
            json += (e ? ",{" : "{");
            json +=
                R"("url":"https://www.example.com/section/)" + id +
                R"(/article.html?ref=feed","title":"記事 )" + id +
                R"( — Example News","cacheKey":0,"ID":)" + id +
                R"(,"docshellUUID":"{4ff86c57-85f4-49f4-91c2-715f23edfdcb}",)"
                R"("resultPrincipalURI":null,"hasUserInteraction":true,)"
                R"("triggeringPrincipal_base64":"{\"3\":{}}","docIdentifier":)" +
                id +
                R"(,"transient":false,"navigationKey":"{0e82e31d-9efd-4bfe-bd9f-278ed2015ae1}",)"
                R"("scroll":"0,1200","formdata":{"id":{"q":"search words"}},)"
                R"("children":[{"url":"https://ads.example/frame","ID":1}]})";
        }
        json +=
            R"(],"lastAccessed":1796620828748,"hidden":false,"userContextId":0,)"
            R"("attributes":{},"index":)" +
            std::to_string(entries) +
            R"(,"image":"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAA"})";
    }
    json += R"(],"selected":1,"_closedTabs":[]}],"selectedWindow":1,"_closedWindows":[]})";
    return json;
}

long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    }
    return -1;
}

void measure(const char* name, const std::string& file, std::size_t jsonBytes) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKb("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        const auto r = brim::core::ReadFirefoxSession(file);
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const long peak = statusKb("VmHWM:");
        std::printf("%-22s file %8.2f MB  JSON %8.2f MB  peak +%7.1f MB  %8.1f ms  %zu pages  %s\n",
                    name, static_cast<double>(file.size()) / 1048576,
                    static_cast<double>(jsonBytes) / 1048576,
                    static_cast<double>(peak - before) / 1024, ms, r.pages.size(),
                    r.problem.empty() ? "read" : ("skipped: " + r.problem).c_str());
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) std::printf("%-22s the reader died (status %d)\n", name, status);
}

}  // namespace

int main(int argc, char** argv) {
    const int tabs = argc > 1 ? std::atoi(argv[1]) : 500;
    const int entries = argc > 2 ? std::atoi(argv[2]) : 8;
    const std::string json = realistic(tabs, entries);
    measure("realistic session", pack(json), json.size());
    const std::string big = realistic(tabs * 10, entries);
    measure("10x that session", pack(big), big.size());
    const std::string head = R"({"windows":[{"tabs":[{"entries":[{"url":"https://x/","title":")";
    const std::string tail = R"("}]}]}]})";
    measure("256 MB bomb", bomb(head, std::size_t{256} << 20, tail), std::size_t{256} << 20);
    measure("60 MB title", bomb(head, std::size_t{60} << 20, tail), std::size_t{60} << 20);
}
