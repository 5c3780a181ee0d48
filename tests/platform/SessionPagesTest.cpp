#include <gtest/gtest.h>
#include <lz4.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "TestSupport.h"
#include "core/Pages.h"
#include "platform/posix/SessionPages.h"

namespace brim::platform {
namespace {

std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
}

// A Firefox session store holding `json`.
std::string jsonlz4(const std::string& json) {
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(json.size()))),
                      '\0');
    const int n = LZ4_compress_default(json.data(), block.data(), static_cast<int>(json.size()),
                                       static_cast<int>(block.size()));
    return std::string("mozLz40\0", 8) + le32(static_cast<std::uint32_t>(json.size())) +
           block.substr(0, static_cast<std::size_t>(n));
}

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

TEST(FirefoxSession, CurrentEntryOfEveryTab) {
    const auto pages = readFirefoxSession(jsonlz4(kFirefoxJson));
    ASSERT_TRUE(pages.has_value());
    const std::string ff = "Mozilla Firefox";
    EXPECT_EQ(*pages, (std::vector<BrowserPage>{{"A", "https://a.example/", ff},
                                                {"New Tab", "about:blank", ff},
                                                {"http://c.example/", "http://c.example/", ff},
                                                {"local", "file:///home/u/x.html", ff},
                                                {"日本語のページ", "https://d.example/", ff}}));
}

TEST(FirefoxSession, DamagedFilesGiveNothing) {
    const std::string good = jsonlz4(kFirefoxJson);
    const std::string cases[] = {
        "",
        "mozLz40",
        good.substr(0, good.size() / 2),
        "mozLz40\0" + good.substr(8),  // the magic without its NUL
        std::string("mozLz40\0", 8) + le32(0xFFFFFFF0u) + good.substr(12),
        std::string("mozLz40\0", 8) + le32(12) + "garbage bytes here",
        jsonlz4("{\"windows\": [tru"),
        jsonlz4("[1,2,3]"),
    };
    for (const auto& c : cases)
        EXPECT_FALSE(readFirefoxSession(c).has_value()) << c.size();
    // Well-formed JSON of an unexpected shape yields what it can, and no crash.
    EXPECT_EQ(readFirefoxSession(jsonlz4(R"({"windows":[1,{"tabs":[null,{"entries":[2]}]}]})"))
                  .value()
                  .size(),
              0u);
}

// Chromium session commands.
struct Snss {
    std::string bytes = "SNSS" + le32(3);
    void command(std::uint8_t id, const std::string& payload) {
        const auto size = static_cast<std::uint16_t>(payload.size() + 1);
        bytes += static_cast<char>(size & 0xFF);
        bytes += static_cast<char>(size >> 8);
        bytes += static_cast<char>(id);
        bytes += payload;
    }
    static std::string ints(std::initializer_list<std::int32_t> values) {
        std::string s;
        for (auto v : values)
            s += le32(static_cast<std::uint32_t>(v));
        return s;
    }
    static std::string padded(std::string s) {
        while (s.size() % 4)
            s += '\0';
        return s;
    }
    void navigation(std::int32_t tab, std::int32_t index, const std::string& url,
                    const std::u16string& title) {
        std::string body = ints({tab, index, static_cast<std::int32_t>(url.size())}) + padded(url) +
                           ints({static_cast<std::int32_t>(title.size())});
        std::string t;
        for (char16_t c : title) {
            t += static_cast<char>(c & 0xFF);
            t += static_cast<char>(c >> 8);
        }
        body += padded(t) + ints({0, 0});  // fields that follow and are not read
        command(6, le32(static_cast<std::uint32_t>(body.size())) + body);
    }
};

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
    const auto pages = readChromiumSession(chromiumSession().bytes, "Chromium");
    ASSERT_TRUE(pages.has_value());
    EXPECT_EQ(*pages, (std::vector<BrowserPage>{
                          {"日本 😀", "https://jp.example/", "Chromium"},
                          {"First", "https://first.example/", "Chromium"},
                          {"https://w2.example/", "https://w2.example/", "Chromium"}}));
}

TEST(ChromiumSession, CutOrForeignFiles) {
    const std::string whole = chromiumSession().bytes;
    EXPECT_FALSE(readChromiumSession("", "Chromium").has_value());
    EXPECT_FALSE(readChromiumSession("SNS", "Chromium").has_value());
    EXPECT_FALSE(readChromiumSession("XXXX" + whole.substr(4), "Chromium").has_value());
    // Cut anywhere: no crash, and never a page that is not in the file.
    for (std::size_t n = 8; n < whole.size(); n += 7) {
        const auto pages = readChromiumSession(whole.substr(0, n), "Chromium");
        ASSERT_TRUE(pages.has_value());
        for (const auto& p : *pages)
            EXPECT_NE(whole.find(p.url), std::string::npos);
    }
    // A navigation whose string lengths lie.
    Snss lying;
    lying.command(0, Snss::ints({1, 1}));
    lying.command(6, le32(12) + Snss::ints({1, 0, 0x7FFFFFF0}));
    EXPECT_EQ(readChromiumSession(lying.bytes, "Chromium").value().size(), 0u);
}

class SessionPagesTest : public testing::Test {
  protected:
    test::TempDir home;
    pid_t deadPid = 0;

    void SetUp() override {
        deadPid = fork();
        if (deadPid == 0) _exit(0);
        waitpid(deadPid, nullptr, 0);
    }
    void lock(const std::string& path, pid_t pid, const std::string& form) {
        test::makeFolders(path.substr(0, path.find_last_of('/')));
        const std::string target = form + std::to_string(pid);
        ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    }
    SessionPages pages() {
        return SessionPages(home.path(),
                            [](std::int64_t pid) { return kill(static_cast<pid_t>(pid), 0) == 0; });
    }
};

TEST_F(SessionPagesTest, OnlyRunningBrowsersCount) {
    const std::string ff = home / ".mozilla/firefox/";
    test::writeFile(ff + "profiles.ini",
                    "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile1]\r\nName=old\r\n"
                    "IsRelative=1\r\nPath=old.default\r\n\r\n[Profile0]\r\nName=main\r\n"
                    "IsRelative=1\r\nPath=main.default\r\n\r\n[Install4F96D1932A9F858E]\r\n"
                    "Default=main.default\r\n");
    test::writeFile(ff + "main.default/sessionstore-backups/recovery.jsonlz4",
                    jsonlz4(kFirefoxJson));
    lock(ff + "main.default/lock", getpid(), "127.0.1.1:+");
    test::writeFile(ff + "old.default/sessionstore-backups/recovery.jsonlz4",
                    jsonlz4(R"({"windows":[{"tabs":[{"entries":[{"url":"https://old/"}]}]}]})"));
    lock(ff + "old.default/lock", deadPid, "127.0.1.1:+");

    const std::string chromium = home / ".config/chromium/";
    test::writeFile(chromium + "Default/Sessions/Session_13300000000000000", "SNSS garbage");
    test::writeFile(chromium + "Default/Sessions/Session_13400000000000000",
                    chromiumSession().bytes);
    lock(chromium + "SingletonLock", getpid(), "myhost-");
    const std::string chrome = home / ".config/google-chrome/";
    test::writeFile(chrome + "Default/Sessions/Session_13400000000000000", chromiumSession().bytes);
    lock(chrome + "SingletonLock", deadPid, "myhost-");

    const auto all = pages().openPages();
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all.front().url, "https://a.example/");
    EXPECT_EQ(all.back().application, "Chromium");
    const auto rows = core::CapturePages(all);
    std::vector<std::string> urls;
    for (const auto& r : rows)
        urls.push_back(r.url);
    EXPECT_EQ(urls, (std::vector<std::string>{"https://w2.example/", "https://first.example/",
                                              "https://jp.example/", "https://d.example/",
                                              "http://c.example/", "https://a.example/"}));
}

TEST_F(SessionPagesTest, FirefoxProfilesInTheConfigFolder) {
    const std::string ff = home / ".config/mozilla/firefox/";
    test::writeFile(ff + "profiles.ini",
                    "[Profile0]\nName=default-esr\nIsRelative=1\nPath=x.default-esr\n");
    test::writeFile(ff + "x.default-esr/sessionstore-backups/recovery.jsonlz4",
                    jsonlz4(kFirefoxJson));
    lock(ff + "x.default-esr/lock", getpid(), "127.0.0.1:+");
    EXPECT_EQ(pages().openPages().size(), 5u);
}

TEST_F(SessionPagesTest, NothingWithoutBrowsers) {
    EXPECT_TRUE(pages().openPages().empty());
    EXPECT_TRUE(SessionPages("", {}).openPages().empty());
}

TEST(CapturePages, AcceptanceRule) {
    const struct {
        BrowserPage page;
        bool taken;
    } cases[] = {
        {{"t", "http://x/", "Mozilla Firefox"}, true},
        {{"t", "ftp://x/", "Chromium"}, true},
        {{"t", "https://x/", "Microsoft Internet Explorer"}, true},
        {{"t", "https://x/", "Google Chrome"}, true},
        {{"t", "https://x/", "mozilla firefox"}, false},
        {{"t", "https://x/", "Opera"}, false},
        {{"t", "about:blank", "Mozilla Firefox"}, false},
        {{"t", "file:///x", "Chromium"}, false},
        {{"t", "/home/u", "Chromium"}, false},
        {{"t", "", "Chromium"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::IsCapturedPage(c.page), c.taken) << c.page.url;
}

}  // namespace
}  // namespace brim::platform
