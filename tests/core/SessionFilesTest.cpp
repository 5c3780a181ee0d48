#include "core/SessionFiles.h"

#include <gtest/gtest.h>
#include <lz4.h>
#include <lz4hc.h>
#ifndef _WIN32
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <new>
#include <random>

#include "SessionSamples.h"

namespace brim::core {
namespace {

using platform::BrowserPage;
using test::jsonlz4;
using test::le32;
using test::Snss;

const std::string kFirefoxJson = R"({"windows":[
  {"tabs":[
    {"entries":[{"url":"https://a.example/","title":"A"},{"url":"https://b.example/","title":"B"}],
     "index":1},
    {"entries":[{"url":"about:blank","title":"New Tab"}],"index":1},
    {"entries":[{"url":"http://c.example/"}]}]},
  {"tabs":[
    {"entries":[{"url":"file:///home/u/x.html","title":"local"}],"index":1},
    {"entries":[{"url":"https://d.example/","title":"日本語のページ"}],"index":5}]}],
 "_closedWindows":[{"tabs":[{"entries":[{"url":"https://closed.example/"}],"index":1}]}]})";

std::vector<std::string> urls(const SessionRead& r) {
    std::vector<std::string> out;
    for (const auto& p : r.pages)
        out.push_back(p.url);
    return out;
}

// ---- LZ4 blocks, packed and read with liblz4.

std::string compress(const std::string& data, bool high) {
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(data.size()))),
                      '\0');
    const int n =
        high ? LZ4_compress_HC(data.data(), block.data(), static_cast<int>(data.size()),
                               static_cast<int>(block.size()), LZ4HC_CLEVEL_MAX)
             : LZ4_compress_default(data.data(), block.data(), static_cast<int>(data.size()),
                                    static_cast<int>(block.size()));
    block.resize(static_cast<std::size_t>(n));
    return block;
}

std::vector<std::string> sampleData() {
    std::mt19937 rng(7);
    std::string random(100000, '\0');
    for (auto& c : random)
        c = static_cast<char>(rng());
    std::string text;
    while (text.size() < 300000)
        text += "{\"url\":\"https://example.com/" + std::to_string(rng() % 1000) +
                "\",\"title\":\"" + std::string(rng() % 40, 'x') + "ページ\"},";
    return {"",
            "a",
            "short text that does not repeat",
            std::string(70000, 'z'),                  // one long match at offset 1
            "abc" + std::string(1000, '\0') + "abc",  // long literal and match lengths
            random,                                   // incompressible: long literals only
            random.substr(0, 5000) + random.substr(0, 5000) + random.substr(0, 5000),
            text,
            kFirefoxJson};
}

TEST(Lz4Block, DecodesWhatLiblz4Encodes) {
    for (const auto& data : sampleData()) {
        for (const bool high : {false, true}) {
            const std::string block = compress(data, high);
            std::string out = "stale";
            EXPECT_EQ(DecodeLz4Block(block, data.size(), out), Lz4Status::Ok)
                << data.size() << (high ? " HC" : "");
            EXPECT_TRUE(out == data) << data.size() << (high ? " HC" : "");
        }
    }
}

TEST(Lz4Block, DamagedBlocksAreRefused) {
    const std::string data = sampleData()[7];
    const std::string block = compress(data, false);
    std::string out;
    // Cut anywhere, or told a wrong size: never a success, never a partial result.
    for (std::size_t n = 0; n < block.size(); n += 1 + n / 8) {
        EXPECT_EQ(DecodeLz4Block(block.substr(0, n), data.size(), out), Lz4Status::Damaged) << n;
        EXPECT_TRUE(out.empty());
    }
    for (const std::size_t size : {data.size() - 1, data.size() + 1, std::size_t{0}}) {
        EXPECT_EQ(DecodeLz4Block(block, size, out), Lz4Status::Damaged) << size;
        EXPECT_TRUE(out.empty());
    }
    // A match that reaches back before the start.
    EXPECT_EQ(DecodeLz4Block(std::string("\x14"
                                         "a\x05\x00",
                                         4),
                             10, out),
              Lz4Status::Damaged);
    EXPECT_EQ(DecodeLz4Block(std::string("\x14"
                                         "a\x00\x00",
                                         4),
                             10, out),
              Lz4Status::Damaged);
    // A literal length that runs past the end of the block.
    EXPECT_EQ(DecodeLz4Block(std::string("\xF0\xFF\xFF", 3), 1000, out), Lz4Status::Damaged);
}

TEST(Lz4Block, CorruptedBlocksGiveTheWholeSizeOrNothing) {
    const std::string data = kFirefoxJson + kFirefoxJson;
    const std::string block = compress(data, false);
    std::mt19937 rng(11);
    int whole = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bad = block;
        for (int flips = 1 + static_cast<int>(rng() % 3); flips > 0; --flips)
            bad[rng() % bad.size()] = static_cast<char>(rng());
        std::string out = "stale";
        if (DecodeLz4Block(bad, data.size(), out) == Lz4Status::Ok) {
            ASSERT_EQ(out.size(), data.size()) << round;
            ++whole;
        } else {
            ASSERT_TRUE(out.empty()) << round;
            ++refused;
        }
    }
    // Flips in literals still decode; most others break the block.
    EXPECT_GT(whole, 0);
    EXPECT_GT(refused, 0);
}

TEST(Lz4Block, SizeOverTheLimitIsRefusedBeforeAllocating) {
    const std::string block = compress(std::string(5000, 'q'), false);
    std::string out;
    EXPECT_EQ(DecodeLz4Block(block, 5000, out, 4999), Lz4Status::TooLarge);
    EXPECT_EQ(out.capacity(), std::string().capacity());
    EXPECT_EQ(DecodeLz4Block(block, 5000, out, 5000), Lz4Status::Ok);
    EXPECT_EQ(DecodeLz4Block(block, std::size_t{3} << 30, out), Lz4Status::TooLarge);
    EXPECT_TRUE(out.empty());
}

// ---- Firefox's session store.

TEST(FirefoxSession, CurrentEntryOfEveryTab) {
    const auto r = ReadFirefoxSession(jsonlz4(kFirefoxJson));
    ASSERT_EQ(r.problem, "");
    const std::string ff = "Mozilla Firefox";
    EXPECT_EQ(r.pages, (std::vector<BrowserPage>{{"A", "https://a.example/", ff},
                                                 {"New Tab", "about:blank", ff},
                                                 {"http://c.example/", "http://c.example/", ff},
                                                 {"local", "file:///home/u/x.html", ff},
                                                 {"日本語のページ", "https://d.example/", ff}}));
}

TEST(FirefoxSession, OnlyTheTabsOwnEntriesCount) {
    const struct {
        const char* json;
        std::vector<std::string> urls;
    } cases[] = {
        // "index" may come before or after the entries; it counts from 1.
        {R"({"windows":[{"tabs":[{"index":2,"entries":[{"url":"u1"},{"url":"u2"}]}]}]})", {"u2"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"},{"url":"u2"}],"index":1}]}]})", {"u1"}},
        // An index that is missing, out of range, not a whole number or
        // negative means the last entry.
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"},{"url":"u2"}],"index":0}]}]})", {"u2"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"},{"url":"u2"}],"index":1.0}]}]})", {"u2"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"},{"url":"u2"}],"index":-1}]}]})", {"u2"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"}],"index":18446744073709551615}]}]})",
         {"u1"}},
        // Frames, form data and closed tabs carry addresses that are no tab's own.
        {R"({"windows":[{"tabs":[{"entries":[{"children":[{"url":"frame"}],"formdata":)"
         R"({"url":"form"},"url":"top"}]}],"_closedTabs":[{"state":{"entries":[{"url":"c"}]}}]}]})",
         {"top"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"}],"extData":{"entries":[{"url":"x"}]}}]}]})",
         {"u1"}},
        // The chosen entry is not an object or has no address: the tab is passed over.
        {R"({"windows":[{"tabs":[{"entries":[{"url":"u1"},7],"index":2},{"entries":[{}]}]}]})", {}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":5,"title":"t"}]}]}]})", {}},
        // Of two "entries", the last counts, even when it is not a list.
        {R"({"windows":[{"tabs":[{"entries":[{"url":"a"}],"entries":[{"url":"b"}]}]}]})", {"b"}},
        {R"({"windows":[{"tabs":[{"entries":[{"url":"a"}],"entries":"none"}]}]})", {}},
        // Shapes that are not expected give what they can.
        {R"({"windows":[1,{"tabs":[null,{"entries":[2]}]}]})", {}},
        {R"({"windows":{"tabs":[]},"tabs":[{"entries":[{"url":"x"}]}]})", {}},
        {R"({})", {}},
    };
    for (const auto& c : cases) {
        const auto r = ReadFirefoxSession(jsonlz4(c.json));
        EXPECT_EQ(r.problem, "") << c.json;
        EXPECT_EQ(urls(r), c.urls) << c.json;
    }
    // A tab without a title shows its address.
    const auto titled =
        ReadFirefoxSession(jsonlz4(R"({"windows":[{"tabs":[{"entries":[{"url":"u"}]}]}]})"));
    ASSERT_EQ(titled.pages.size(), 1u);
    EXPECT_EQ(titled.pages[0].title, "u");
}

TEST(FirefoxSession, DamagedFilesAreSkippedWithAReason) {
    const std::string good = jsonlz4(kFirefoxJson);
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "not a Firefox session store"},
        {"mozLz40", "not a Firefox session store"},
        {"mozLz40\0" + good.substr(8), "not a Firefox session store"},  // magic without its NUL
        {good.substr(0, good.size() / 2), "damaged compressed data"},
        {std::string("mozLz40\0", 8) + le32(12) + "garbage bytes here", "damaged compressed data"},
        {std::string("mozLz40\0", 8) + le32(0xFFFFFFF0u) + good.substr(12), "expands to 4096 MB"},
        {jsonlz4("{\"windows\": [tru"), "damaged JSON"},
        {jsonlz4(kFirefoxJson + "x"), "damaged JSON"},
        {jsonlz4(""), "damaged JSON"},
        {jsonlz4("[1,2,3]"), "not a session store"},
        {jsonlz4("\"text\""), "not a session store"},
    };
    for (const auto& c : cases) {
        const auto r = ReadFirefoxSession(c.bytes);
        EXPECT_NE(r.problem.find(c.reason), std::string::npos) << r.problem;
        EXPECT_TRUE(r.pages.empty()) << c.reason;
    }
}

TEST(FirefoxSession, TooManyPagesAreSkippedNotKept) {
    // About 15 MB of JSON that holds 400 000 tabs: well under the size
    // limit, but more pages than any session.
    const std::string tab = R"({"entries":[{"url":"https://many.example/","title":"t"}]},)";
    std::string json = R"({"windows":[{"tabs":[)";
    for (int i = 0; i < 400000; ++i)
        json += tab;
    json += R"({"entries":[]}]}]})";
    const auto r = ReadFirefoxSession(jsonlz4(json));
    EXPECT_NE(r.problem.find("more pages"), std::string::npos) << r.problem;
    EXPECT_TRUE(r.pages.empty());
}

TEST(FirefoxSession, TextsLongerThanAnySessionNeedsAreRefused) {
    const std::string head = R"({"windows":[{"tabs":[{"entries":[{"url":"u","title":")";
    const std::string tail = R"("}]}]}]})";
    // Escaped quotes and backslashes do not end a text early.
    std::string underLimit;
    while (underLimit.size() < (std::size_t{8} << 20) - 100)
        underLimit += R"(ab\"cd\\ef)";
    const struct {
        std::string json;
        bool read;
    } cases[] = {
        {head + underLimit + tail, true},
        {head + std::string((std::size_t{8} << 20) - 1, 'x') + tail, false},
        {head + underLimit + R"(\\)" + underLimit + tail, false},
        {head + std::string(std::size_t{9} << 20, 'x'), false},  // never closed
    };
    for (const auto& c : cases) {
        const auto r = ReadFirefoxSession(jsonlz4(c.json));
        EXPECT_EQ(r.pages.size(), c.read ? 1u : 0u) << r.problem;
        if (!c.read) {
            EXPECT_NE(r.problem.find("a text longer"), std::string::npos) << r.problem;
        }
    }
}

// ---- Chromium's session commands.

Snss chromiumSession() {
    Snss s;
    s.command(0, Snss::ints({1, 10}));  // window 1: tabs 10, 11, 12
    s.command(0, Snss::ints({1, 11}));
    s.command(0, Snss::ints({1, 12}));
    s.command(0, Snss::ints({2, 20}));  // window 2: tab 20
    s.command(0, Snss::ints({3, 30}));  // window 3, closed later
    s.command(2, Snss::ints({10, 1}));
    s.command(2, Snss::ints({11, 0}));
    s.command(2, Snss::ints({12, 2}));
    s.navigation(10, 0, "https://first.example/", u"First");
    s.navigation(10, 1, "https://second.example/", u"Second");
    s.command(7, Snss::ints({10, 0}));
    s.navigation(11, 0, "https://jp.example/", u"\u65e5\u672c \U0001F600");
    s.navigation(12, 0, "https://closed-tab.example/", u"Closed");
    s.command(16, Snss::ints({12, 0, 0, 0}));
    s.navigation(20, 0, "chrome://newtab/", u"");
    s.navigation(20, 1, "https://w2.example/", u"");
    s.command(7, Snss::ints({20, 1}));
    s.navigation(30, 0, "https://gone.example/", u"Gone");
    s.command(17, Snss::ints({3, 0, 0, 0}));
    return s;
}

TEST(ChromiumSession, ReplaysTheCommands) {
    const auto r = ReadChromiumSession(chromiumSession().bytes, "Chromium");
    ASSERT_EQ(r.problem, "");
    EXPECT_EQ(r.pages, (std::vector<BrowserPage>{
                           {"日本 😀", "https://jp.example/", "Chromium"},
                           {"First", "https://first.example/", "Chromium"},
                           {"https://w2.example/", "https://w2.example/", "Chromium"}}));
}

TEST(ChromiumSession, PrunedNavigationsMoveTheRestDown) {
    // One tab with navigations n0…n4; the command prunes, then index 1 is
    // chosen as the current one.
    const struct {
        std::uint8_t id;
        std::initializer_list<std::int32_t> fields;
        const char* current;
    } cases[] = {
        {24, {1, 1, 2}, "n3"},  // n1, n2 go: n0 n3 n4
        {11, {1, 3}, "n4"},     // n0…n2 go from the front: n3 n4
        {5, {1, 1}, "n0"},      // from index 1 on go: only n0, the last one left
        {24, {1, 0, 0}, "n1"},  // nothing pruned
        {24, {1, 4, 9}, "n1"},  // past the end: n0…n3
    };
    for (const auto& c : cases) {
        Snss s;
        s.command(0, Snss::ints({1, 1}));
        for (int i = 0; i < 5; ++i)
            s.navigation(1, i, "n" + std::to_string(i), u"");
        s.command(c.id, Snss::ints(c.fields));
        s.command(7, Snss::ints({1, 1}));
        const auto r = ReadChromiumSession(s.bytes, "Chromium");
        EXPECT_EQ(urls(r), std::vector<std::string>{c.current}) << int{c.id};
    }
}

TEST(ChromiumSession, CutOrForeignFiles) {
    const std::string whole = chromiumSession().bytes;
    for (const std::string& foreign :
         {std::string(), std::string("SNS"), "XXXX" + whole.substr(4)}) {
        const auto r = ReadChromiumSession(foreign, "Chromium");
        EXPECT_EQ(r.problem, "not a Chromium session file");
        EXPECT_TRUE(r.pages.empty());
    }
    // Cut anywhere: no crash, and never a page that is not in the file.
    for (std::size_t n = 8; n < whole.size(); n += 7) {
        const auto r = ReadChromiumSession(whole.substr(0, n), "Chromium");
        ASSERT_EQ(r.problem, "");
        for (const auto& p : r.pages)
            EXPECT_NE(whole.find(p.url), std::string::npos);
    }
    // A navigation whose string lengths lie.
    Snss lying;
    lying.command(0, Snss::ints({1, 1}));
    lying.command(6, le32(12) + Snss::ints({1, 0, 0x7FFFFFF0}));
    EXPECT_TRUE(ReadChromiumSession(lying.bytes, "Chromium").pages.empty());
}

TEST(ChromiumSession, HostileLogsAreSkipped) {
    // Every command names a new tab: more tabs than any session keeps.
    Snss tabs;
    for (std::int32_t i = 0; i < 400000; ++i)
        tabs.command(0, Snss::ints({1, i}));
    auto r = ReadChromiumSession(tabs.bytes, "Chromium");
    EXPECT_NE(r.problem.find("more tabs"), std::string::npos) << r.problem;
    EXPECT_TRUE(r.pages.empty());

    // One tab moved through ever new windows, or ever new windows closed.
    for (const std::uint8_t id : {std::uint8_t{0}, std::uint8_t{17}}) {
        Snss windows;
        for (std::int32_t i = 0; i < 400000; ++i)
            windows.command(id, Snss::ints({i, 1}));
        r = ReadChromiumSession(windows.bytes, "Chromium");
        EXPECT_NE(r.problem.find("more tabs and windows"), std::string::npos) << r.problem;
    }

    // Each prune renumbers every navigation behind it while removing none:
    // replayed as written it would take billions of steps.
    Snss work;
    work.command(0, Snss::ints({1, 1}));
    for (std::int32_t i = 0; i < 30000; ++i)
        work.navigation(1, 1000000 + i, "u", u"");
    for (int i = 0; i < 30000; ++i)
        work.command(11, Snss::ints({1, 1}));
    r = ReadChromiumSession(work.bytes, "Chromium");
    EXPECT_NE(r.problem.find("too much work"), std::string::npos) << r.problem;
}

// ---- Under a memory limit (POSIX: fork and setrlimit).
#ifndef _WIN32

// Runs `body` in a child whose address space may grow by `headroom` bytes
// beyond what it has at the start; the child's exit status (92: an exception
// escaped), or 100 + the signal that ended it.
int inChildWithMemoryLimit(std::size_t headroom, const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        // Free memory that the allocator kept from earlier tests would be
        // headroom the limit does not see.
        malloc_trim(0);
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
        const rlimit rl{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) _exit(90);
        // The limit must bite, or the test proves nothing. (The volatile
        // store keeps the compiler from leaving the allocation out.)
        try {
            static char* volatile big;
            big = new char[headroom + (std::size_t{1} << 20)];
            big[0] = 1;
            _exit(91);
        } catch (const std::bad_alloc&) {
        }
        // An exception that escapes the reader must not run on into the
        // parent's tests.
        try {
            _exit(body());
        } catch (...) {
            _exit(92);
        }
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(SessionMemory, NoFileOutgrowsALimitedAddressSpace) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    const std::string head = R"({"windows":[{"tabs":[{"entries":[{"url":"https://x/","title":")";
    const std::string tail = R"("}]}]}]})";
    const std::string tab = R"({"entries":[{"url":"https://many.example/"}]},)";
    const struct {
        const char* name;
        std::string bytes;
        std::size_t pages;  // 0: skipped with a reason
    } cases[] = {
        // A 256 MB title: refused by its declared size before anything is
        // allocated for it.
        {"256 MB bomb", test::repeatedStore(head, "a", std::uint64_t{256} << 20, tail), 0},
        // Just under the size limit, but more than the memory the child has.
        {"60 MB title", test::repeatedStore(head, "a", std::uint64_t{60} << 20, tail), 0},
        {"60 MB of tabs",
         test::repeatedStore(R"({"windows":[{"tabs":[)", tab,
                             (std::uint64_t{60} << 20) / tab.size(), "{}]}]}"),
         0},
        {"a real session", jsonlz4(kFirefoxJson), 5},
    };
    for (const auto& c : cases) {
        const int status = inChildWithMemoryLimit(std::size_t{96} << 20, [&c] {
            const auto r = ReadFirefoxSession(c.bytes);
            if (r.pages.size() != c.pages) return 1;
            if (r.problem.empty() != (c.pages > 0)) return 2;
            return 0;
        });
        EXPECT_EQ(status, 0) << c.name << " (" << c.bytes.size() << " bytes)";
    }
    // Without a limit the bombs are skipped all the same, for their size.
    EXPECT_NE(ReadFirefoxSession(cases[0].bytes).problem.find("more than the 64 MB"),
              std::string::npos);
    EXPECT_NE(ReadFirefoxSession(cases[1].bytes).problem, "");
}
#endif

}  // namespace
}  // namespace brim::core
