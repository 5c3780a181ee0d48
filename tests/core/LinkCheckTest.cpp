// The link check against servers of the test's own on 127.0.0.1 and
// 127.0.0.2; names are answered by the test, never by the network.

#include "core/LinkCheck.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "FtpServer.h"
#include "LinkServer.h"
#include "RawServer.h"
#include "TestSupport.h"
#include "core/LinkState.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Services.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brim::test {
namespace {

using namespace std::chrono_literals;
using core::LinkResult;
using core::LinkStatus;

// Test names lead to the loopback; "gone.test" does not exist, and the
// lookup of "broken.test" fails. Any other name is a test's mistake.
core::NameLookup testNames(const std::string& host) {
    if (host == "one.test") return {core::NameLookup::Found, {"127.0.0.1"}};
    if (host == "gone.test") return {core::NameLookup::NoSuchName, {}};
    if (host == "broken.test") return {core::NameLookup::Failed, {}};
    ADD_FAILURE() << "looked up " << host;
    return {core::NameLookup::Failed, {}};
}

core::LinkCheckOptions testOptions() {
    core::LinkCheckOptions o;
    o.timeout = 1500ms;
    o.resolve = testNames;
    o.environment = [](const std::string&) { return std::nullopt; };
    return o;
}

std::string describe(const std::optional<LinkResult>& r) {
    if (!r) return "unchecked";
    return std::string(core::linkStatusName(r->status)) + " " + std::to_string(r->code) + " " +
           r->location;
}

TEST(LinkCheck, EachAnswerHasItsOutcome) {
    LinkServer other({{"/ok", status(200)}}, "127.0.0.2");
    std::map<std::string, LinkServer::Page> pages = {
        {"/ok", status(200)},
        {"/created", status(204)},
        {"/gone", status(404)},
        {"/removed", status(410)},
        {"/login", status(401)},
        {"/forbidden", status(403)},
        {"/busy", status(429)},
        {"/broken", status(500)},
        {"/down", status(503)},
        {"/no-head", byMethod(405, 200)},
        {"/head-not-found", byMethod(404, 200)},
        {"/head-gone", byMethod(404, 404)},
        {"/permanent", redirect("/ok", 301)},
        {"/permanent-308", redirect("/ok", 308)},
        {"/found", redirect("/ok", 302)},
        {"/see-other", redirect("/ok", 303)},
        {"/temporary", redirect("/ok", 307)},
        {"/permanent-to-gone", redirect("/gone", 301)},
        {"/permanent-to-error", redirect("/forbidden", 308)},
        {"/permanent-then-temporary", redirect("/found", 301)},
        {"/temporary-then-permanent", redirect("/permanent", 302)},
        {"/elsewhere", redirect(other.base() + "/ok", 301)},
        {"/to-mail", redirect("mailto:a@example.com", 302)},
        {"/loop-a", redirect("/loop-b", 302)},
        {"/loop-b", redirect("/loop-a", 302)},
        {"/slow", slow(3500ms)},
    };
    // Ten redirects are followed, an eleventh is not.
    for (int i = 1; i <= 11; ++i)
        pages["/chain/" + std::to_string(i)] = redirect("/chain/" + std::to_string(i - 1), 302);
    pages["/chain/0"] = status(200);
    LinkServer server(pages);
    const std::string b = server.base();
    LinkServer closed({});
    closed.stop();

    const struct {
        std::string url;
        LinkResult expected;
    } cases[] = {
        {b + "/ok", {LinkStatus::Ok, 200, ""}},
        {b + "/created", {LinkStatus::Ok, 204, ""}},
        {b + "/gone", {LinkStatus::Gone, 404, ""}},
        {b + "/removed", {LinkStatus::Gone, 410, ""}},
        {b + "/login", {LinkStatus::Error, 401, ""}},
        {b + "/forbidden", {LinkStatus::Error, 403, ""}},
        {b + "/busy", {LinkStatus::Error, 429, ""}},
        {b + "/broken", {LinkStatus::Error, 500, ""}},
        {b + "/down", {LinkStatus::Error, 503, ""}},
        {b + "/no-head", {LinkStatus::Ok, 200, ""}},
        {b + "/head-not-found", {LinkStatus::Ok, 200, ""}},
        {b + "/head-gone", {LinkStatus::Gone, 404, ""}},
        {b + "/permanent", {LinkStatus::Moved, 200, b + "/ok"}},
        {b + "/permanent-308", {LinkStatus::Moved, 200, b + "/ok"}},
        {b + "/found", {LinkStatus::Ok, 200, ""}},
        {b + "/see-other", {LinkStatus::Ok, 200, ""}},
        {b + "/temporary", {LinkStatus::Ok, 200, ""}},
        {b + "/permanent-to-gone", {LinkStatus::Gone, 404, ""}},
        {b + "/permanent-to-error", {LinkStatus::Error, 403, ""}},
        // The favorite moved for good as far as the permanent redirects go.
        {b + "/permanent-then-temporary", {LinkStatus::Moved, 200, b + "/found"}},
        {b + "/temporary-then-permanent", {LinkStatus::Ok, 200, ""}},
        {b + "/elsewhere", {LinkStatus::Moved, 200, other.base() + "/ok"}},
        {b + "/to-mail", {LinkStatus::Error, 302, ""}},
        {b + "/loop-a", {LinkStatus::Error, 302, ""}},
        {b + "/chain/10", {LinkStatus::Ok, 200, ""}},
        {b + "/chain/11", {LinkStatus::Error, 302, ""}},
        {b + "/slow", {LinkStatus::Timeout, 0, ""}},
        {closed.base() + "/ok", {LinkStatus::Unreachable, 0, ""}},
        {"http://one.test:" + std::to_string(server.port()) + "/ok", {LinkStatus::Ok, 200, ""}},
        {"http://gone.test/", {LinkStatus::Gone, 0, ""}},
        {"https://broken.test/", {LinkStatus::Unreachable, 0, ""}},
        {"http://", {LinkStatus::Error, 0, ""}},
        {"mailto:a@example.com", {LinkStatus::Skipped, 0, ""}},
        {"file:///etc/passwd", {LinkStatus::Skipped, 0, ""}},
        {"javascript:alert(1)", {LinkStatus::Skipped, 0, ""}},
        {"", {LinkStatus::Skipped, 0, ""}},
    };
    std::vector<std::string> urls;
    for (const auto& c : cases)
        urls.push_back(c.url);
    const auto results = core::LinkChecker(testOptions()).check(urls);
    ASSERT_EQ(results.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) {
        SCOPED_TRACE(urls[i]);
        EXPECT_EQ(describe(results[i]), describe(cases[i].expected));
    }

    // Failures were asked again with GET, and the transient ones once more
    // after all the rest; the addresses never fetched were never asked.
    const auto hits = server.hits();
    const auto requests = [&](const std::string& path) {
        std::string methods;
        for (const auto& h : hits)
            if (h.path == path) methods += h.method + " ";
        return methods;
    };
    const struct {
        const char* path;
        const char* methods;
    } asked[] = {
        {"/created", "HEAD "},           {"/no-head", "HEAD GET "}, {"/head-gone", "HEAD GET "},
        {"/broken", "HEAD GET "},        {"/login", "HEAD GET "},   {"/busy", "HEAD GET HEAD GET "},
        {"/down", "HEAD GET HEAD GET "}, {"/slow", "HEAD HEAD "},   {"/loop-b", "HEAD "},
        {"/chain/0", "HEAD "},
    };
    for (const auto& a : asked)
        EXPECT_EQ(requests(a.path), a.methods) << a.path;
    const auto isTransient = [](const std::string& path) {
        return path == "/busy" || path == "/down" || path == "/slow";
    };
    std::size_t lastFirstTry = 0, busy = 0;
    for (std::size_t i = 0; i < hits.size(); ++i)
        if (!isTransient(hits[i].path)) lastFirstTry = i;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (hits[i].path == "/busy" && ++busy == 3) {
            EXPECT_GT(i, lastFirstTry);
        }
    }
    EXPECT_EQ(other.hits().size(), 1u);
}

// Reads a request's head; its method, or "" when none came whole.
std::string readRequest(RawSocket s) {
    std::string method;
    while (const auto line = readLine(s)) {
        if (method.empty()) method = line->substr(0, line->find(' '));
        if (line->empty()) return method;
    }
    return "";
}

TEST(LinkCheck, BrokenConnectionsTlsAndFtpHaveTheirOutcomes) {
    // Resets once it has read the request, telling which method it had.
    std::mutex mutex;
    std::string methods;
    RawServer resetAfterRequest([&](RawSocket s) {
        const std::string method = readRequest(s);
        {
            const std::lock_guard lock(mutex);
            methods += method + " ";
        }
        resetSocket(s);
        return true;
    });
    RawServer resetAtOnce([](RawSocket s) {
        resetSocket(s);
        return true;
    });
    RawServer garbage([](RawSocket s) {
        sendAll(s, "garbage, not a TLS record\r\n\r\n");
        readLine(s);
        return false;
    });
    LinkServer plain({{"/", status(200)}});
    FtpServer ftp({{"/file.txt", 12}, {"/pub/deep.txt", 0}}, {"/pub"});
    const std::string plainTls = "https://127.0.0.1:" + std::to_string(plain.port());

    const struct {
        std::string url;
        LinkResult expected;
    } cases[] = {
        {resetAfterRequest.base("http") + "/", {LinkStatus::Unreachable, 0, ""}},
        {resetAtOnce.base("http") + "/", {LinkStatus::Unreachable, 0, ""}},
        // The TLS handshake fails whatever the server sends instead.
        {plainTls + "/", {LinkStatus::Unreachable, 0, ""}},
        {garbage.base("https") + "/", {LinkStatus::Unreachable, 0, ""}},
        {ftp.base() + "/file.txt", {LinkStatus::Ok, 0, ""}},
        {ftp.base() + "/pub/deep.txt", {LinkStatus::Ok, 0, ""}},
        {ftp.base() + "/missing.txt", {LinkStatus::Gone, 0, ""}},
        {ftp.base() + "/pub/missing.txt", {LinkStatus::Gone, 0, ""}},
        {ftp.base() + "/pub/", {LinkStatus::Ok, 0, ""}},
        // A folder the server will not enter: its 550 tells no reason, and a
        // refusal is an error, as HTTP's 403.
        {ftp.base() + "/nowhere/file.txt", {LinkStatus::Error, 0, ""}},
    };
    std::vector<std::string> urls;
    for (const auto& c : cases)
        urls.push_back(c.url);
    const auto results = core::LinkChecker(testOptions()).check(urls);
    ASSERT_EQ(results.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) {
        SCOPED_TRACE(urls[i]);
        EXPECT_EQ(describe(results[i]), describe(cases[i].expected));
    }
    // A reset is tried with GET, as a dropped HEAD, and once more at the end.
    EXPECT_EQ(methods, "HEAD GET HEAD GET ");
    EXPECT_EQ(resetAfterRequest.accepts(), 4);
    // Reset before the request went out, a try may end without its GET.
    EXPECT_GE(resetAtOnce.accepts(), 2);
    EXPECT_LE(resetAtOnce.accepts(), 4);
    // The files were asked about, never fetched nor listed.
    int sizes = 0;
    for (const auto& c : ftp.commands()) {
        const std::string verb = c.substr(0, 4);
        EXPECT_TRUE(verb != "RETR" && verb != "LIST" && verb != "NLST" && verb != "EPSV" &&
                    verb != "PASV")
            << c;
        sizes += verb == "SIZE";
    }
    EXPECT_EQ(sizes, 4);
}

TEST(LinkCheck, ConnectionsPerHostAndInAllStayWithinTheLimits) {
    const struct {
        int perHost, jobs;
        int mostOnOne, mostInAll;
    } cases[] = {{2, 3, 2, 3}, {1, 16, 1, 2}, {3, 16, 3, 6}, {2, 1, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.perHost << " per host, " << c.jobs << " in all");
        InFlight both;
        LinkServer one({{"/page", slow(150ms)}}, "127.0.0.1", &both);
        LinkServer two({{"/page", slow(150ms)}}, "127.0.0.2", &both);
        std::vector<std::string> urls;
        for (int i = 0; i < 6; ++i) {
            urls.push_back(one.base() + "/page?" + std::to_string(i));
            urls.push_back(two.base() + "/page?" + std::to_string(i));
        }
        auto options = testOptions();
        options.timeout = 20s;
        options.perHost = c.perHost;
        options.jobs = c.jobs;
        for (const auto& r : core::LinkChecker(options).check(urls))
            EXPECT_EQ(describe(r), "ok 200 ");
        EXPECT_EQ(one.mostAtOnce(), c.mostOnOne);
        EXPECT_EQ(two.mostAtOnce(), c.mostOnOne);
        EXPECT_EQ(both.most, c.mostInAll);
    }
}

TEST(LinkCheck, ProgressCountsEachOutcomeAsItEnds) {
    LinkServer server({{"/ok", status(200)}, {"/gone", status(410)}});
    const std::vector<std::string> urls = {server.base() + "/ok", server.base() + "/gone",
                                           "news:comp.lang", server.base() + "/ok#again"};
    std::map<std::size_t, std::string> seen;
    core::LinkProgress last;
    const auto results =
        core::LinkChecker(testOptions())
            .check(urls, [&](std::size_t index, const LinkResult& r, const core::LinkProgress& p) {
                EXPECT_TRUE(seen.emplace(index, describe(r)).second);
                EXPECT_EQ(p.done, seen.size());
                EXPECT_EQ(p.total, urls.size());
                last = p;
            });
    ASSERT_EQ(seen.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i)
        EXPECT_EQ(seen[i], describe(results[i]));
    const std::array<std::size_t, core::kLinkStatusCount> counts = {2, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(last.counts, counts);
}

TEST(LinkCheck, AStopEndsTheCheckWithoutWaitingForTheAnswers) {
    LinkServer server({{"/late", slow(3s)}});
    std::vector<std::string> urls;
    for (int i = 0; i < 6; ++i)
        urls.push_back(server.base() + "/late?" + std::to_string(i));
    core::StopSource stop;
    std::thread stopper([&] {
        // Once the server has the first requests, or after 10 s at most.
        for (int i = 0; i < 1000 && server.hits().size() < 2; ++i)
            std::this_thread::sleep_for(10ms);
        stop.request();
    });
    auto options = testOptions();
    options.timeout = 20s;
    const auto results = core::LinkChecker(options).check(urls, {}, &stop);
    stopper.join();
    EXPECT_GE(server.hits().size(), 2u);
    for (const auto& r : results)
        EXPECT_FALSE(r) << describe(r);
}

TEST(LinkCheck, AProxyTheEnvironmentNamesFetchesForTheHostsItServes) {
    LinkServer proxy({{"http://far.test/page", status(200)}, {"http://far.test/old", status(410)}});
    LinkServer direct({{"/page", status(200)}});
    auto options = testOptions();
    options.environment = [&](const std::string& name) -> std::optional<std::string> {
        if (name == "http_proxy") return proxy.base();
        if (name == "no_proxy") return "localhost, 127.0.0.1";
        return std::nullopt;
    };
    // far.test is never looked up here: testNames would fail the test.
    const auto results = core::LinkChecker(options).check(
        {"http://far.test/page", "http://far.test/old", direct.base() + "/page"});
    EXPECT_EQ(describe(results[0]), "ok 200 ");
    EXPECT_EQ(describe(results[1]), "gone 410 ");
    EXPECT_EQ(describe(results[2]), "ok 200 ");
    EXPECT_EQ(proxy.hits().size(), 3u);
    EXPECT_EQ(direct.hits().size(), 1u);
}

TEST(LinkCheck, ProxiesComeFromTheEnvironmentAsLibcurlReadsThem) {
    using Env = std::map<std::string, std::string>;
    const struct {
        Env env;
        const char *scheme, *host, *proxy;
    } cases[] = {
        {{}, "http", "a.test", ""},
        {{{"http_proxy", "p:1"}}, "http", "a.test", "p:1"},
        {{{"HTTP_PROXY", "p:1"}}, "http", "a.test", ""},
        {{{"HTTPS_PROXY", "p:2"}}, "https", "a.test", "p:2"},
        {{{"https_proxy", "p:2"}, {"http_proxy", "p:1"}}, "https", "a.test", "p:2"},
        {{{"all_proxy", "p:3"}}, "ftp", "a.test", "p:3"},
        {{{"ftp_proxy", "p:4"}, {"ALL_PROXY", "p:3"}}, "ftp", "a.test", "p:4"},
        {{{"http_proxy", "p:1"}, {"no_proxy", "*"}}, "http", "a.test", ""},
        {{{"http_proxy", "p:1"}, {"no_proxy", "example.com"}}, "http", "www.Example.com", ""},
        {{{"http_proxy", "p:1"}, {"no_proxy", "example.com"}}, "http", "example.com", ""},
        {{{"http_proxy", "p:1"}, {"no_proxy", "example.com"}}, "http", "notexample.com", "p:1"},
        {{{"http_proxy", "p:1"}, {"NO_PROXY", ".example.com, b.test"}}, "http", "b.test", ""},
        {{{"http_proxy", "p:1"}, {"no_proxy", "::1"}}, "http", "[::1]", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scheme << "://" << c.host);
        const core::Environment env = [&](const std::string& name) -> std::optional<std::string> {
            const auto it = c.env.find(name);
            if (it == c.env.end()) return std::nullopt;
            return it->second;
        };
        EXPECT_EQ(core::environmentProxy(env, c.scheme, c.host), c.proxy);
    }
}

TEST(LinkCheck, TheSystemsProxiesServeWhereTheEnvironmentNamesNone) {
    LinkServer proxy({{"http://far.test/page", status(200)}, {"http://near/page", status(410)}});
    LinkServer direct({{"/page", status(200)}});
    const struct {
        std::map<std::string, std::string> env;
        const char* url;
        const char* result;
        bool proxied;
    } cases[] = {
        {{}, "http://far.test/page", "ok 200 ", true},
        {{}, "http://near/page", "gone 410 ", true},
        // The direct server is on the loopback, which never takes the proxy.
        {{}, "/page", "ok 200 ", false},
        // The environment's proxy, when set, is the one asked.
        {{{"http_proxy", "http://127.0.0.1:1"}, {"no_proxy", "127.0.0.1"}},
         "/page",
         "ok 200 ",
         false},
        {{{"https_proxy", "http://127.0.0.1:1"}}, "http://far.test/page", "ok 200 ", true},
        {{{"http_proxy", "http://127.0.0.1:1"}}, "http://far.test/page", "unreachable 0 ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto before = proxy.hits().size();
        auto options = testOptions();
        options.environment = [&](const std::string& name) -> std::optional<std::string> {
            const auto it = c.env.find(name);
            if (it == c.env.end()) return std::nullopt;
            return it->second;
        };
        int reads = 0;
        options.systemProxies = [&] {
            ++reads;
            return platform::SystemProxy{"http=" + proxy.base().substr(7) + ";ftp=127.0.0.1:1",
                                         "*.example.com"};
        };
        const std::string url = c.url[0] == '/' ? direct.base() + c.url : c.url;
        const auto results = core::LinkChecker(options).check({url, url + "?again"});
        EXPECT_EQ(describe(results[0]), c.result);
        EXPECT_EQ(reads, 1);
        EXPECT_EQ(proxy.hits().size() > before, c.proxied);
    }
}

TEST(LinkCheck, TheSystemsProxySettingsNameOneForEachSchemeAndHost) {
    const struct {
        const char *servers, *bypass, *scheme, *host, *proxy;
    } cases[] = {
        {"", "", "http", "a.test", ""},
        {"proxy:8080", "", "http", "a.test", "proxy:8080"},
        {"proxy:8080", "", "ftp", "a.test", "proxy:8080"},
        {"http=p1:80;https=p2:443;ftp=p3:21", "", "http", "a.test", "p1:80"},
        {"http=p1:80;https=p2:443;ftp=p3:21", "", "https", "a.test", "p2:443"},
        {"http=p1:80;https=p2:443;ftp=p3:21", "", "ftp", "a.test", "p3:21"},
        {"HTTP=p1:80 https=p2:443", "", "HTTPS", "a.test", "p2:443"},
        {"http=http://p1:80; https=https://p2:443", "", "https", "a.test", "https://p2:443"},
        {"http://all:3128", "", "https", "a.test", "http://all:3128"},
        // Only HTTP's: the others go direct.
        {"http=p1:80", "", "https", "a.test", ""},
        {"http=p1:80;other:1", "", "https", "a.test", "other:1"},
        {"socks=s:1080", "", "https", "a.test", "socks4://s:1080"},
        {"socks=socks5://s:1080;http=p1:80", "", "ftp", "a.test", "socks5://s:1080"},
        {"http=", "", "http", "a.test", ""},
        {"p:1", "<local>", "http", "intranet", ""},
        {"p:1", "<local>", "http", "a.test", "p:1"},
        {"p:1", "*.example.com;10.*", "http", "www.EXAMPLE.com", ""},
        {"p:1", "*.example.com;10.*", "http", "example.com", "p:1"},
        {"p:1", "*.example.com;10.*", "http", "10.1.2.3", ""},
        {"p:1", "*.example.com;10.*", "http", "110.1.2.3", "p:1"},
        {"p:1", "*.Example.COM", "http", "a.example.com", ""},
        {"p:1", "a*c.test", "http", "abbbc.test", ""},
        {"p:1", "a*c.test", "http", "abbbd.test", "p:1"},
        {"p:1", "b.test  c.test,d.test", "http", "d.test", ""},
        {"p:1", "https://*.example.com", "http", "a.example.com", "p:1"},
        {"p:1", "https://*.example.com", "https", "a.example.com", ""},
        {"p:1", "a.test:8080", "http", "a.test", ""},
        {"p:1", "[::2]", "http", "[::2]", ""},
        {"p:1", "", "http", "localhost", ""},
        {"p:1", "", "http", "127.0.0.1", ""},
        {"p:1", "", "http", "[::1]", ""},
        {"p:1", "", "http", "127.example", "p:1"},
        {"p:1", "<-loopback>", "http", "127.0.0.1", "p:1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.servers << " | " << c.bypass << " | " << c.scheme << "://" << c.host);
        EXPECT_EQ(core::systemProxy({c.servers, c.bypass}, c.scheme, c.host), c.proxy);
    }
}

#ifdef _WIN32
// Internet Options' settings as the connections' key keeps them: a header
// (version 0x46, a counter, flags with 2 for "use a proxy"), then the proxy,
// the bypass list and the script's address, each after its length.
std::string connectionSettings(const std::string& servers, const std::string& bypass) {
    std::string blob;
    const auto word = [&](std::uint32_t n) {
        for (int i = 0; i < 4; ++i)
            blob += static_cast<char>((n >> (8 * i)) & 0xff);
    };
    word(0x46);
    word(1);
    word(servers.empty() ? 1 : 3);
    for (const std::string* text : {&servers, &bypass}) {
        word(static_cast<std::uint32_t>(text->size()));
        blob += *text;
    }
    word(0);
    blob.append(32, '\0');
    return blob;
}

// Sets the user's connection settings for the test and puts back those it
// found.
class ConnectionSettings {
  public:
    explicit ConnectionSettings(const std::string& blob) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD size = 0, type = 0;
        if (RegQueryValueExW(key_, kValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            old_.resize(size);
            RegQueryValueExW(key_, kValue, nullptr, &type, reinterpret_cast<BYTE*>(old_.data()),
                             &size);
            had_ = true;
        }
        set_ =
            RegSetValueExW(key_, kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()),
                           static_cast<DWORD>(blob.size())) == ERROR_SUCCESS;
    }
    ~ConnectionSettings() {
        if (had_) {
            RegSetValueExW(key_, kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(old_.data()),
                           static_cast<DWORD>(old_.size()));
        } else {
            RegDeleteValueW(key_, kValue);
        }
        RegCloseKey(key_);
    }
    bool set() const { return set_; }

  private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr const wchar_t* kValue = L"DefaultConnectionSettings";
    HKEY key_ = nullptr;
    std::string old_;
    bool had_ = false, set_ = false;
};

TEST(LinkCheck, ACheckGoesThroughTheProxyOfInternetOptions) {
    // Only in a Wine prefix of the tests' own: the settings are the user's.
    if (!std::getenv("WINEPREFIX")) GTEST_SKIP() << "not in a Wine prefix of the tests' own";
    LinkServer proxy(
        {{"http://far.test/page", status(200)}, {"http://near.test/old", status(410)}});
    LinkServer direct({{"/page", status(200)}});
    const std::string servers = "http=" + proxy.base().substr(7) + ";ftp=127.0.0.1:1";
    const std::string bypass = "<local>;*.example.com";
    platform::WinHttpSystemProxy system;
    {
        const ConnectionSettings settings(connectionSettings(servers, bypass));
        ASSERT_TRUE(settings.set());
        EXPECT_EQ(system.current(), (platform::SystemProxy{servers, bypass}));
        auto options = testOptions();
        options.systemProxies = [&] { return system.current(); };
        const auto results = core::LinkChecker(options).check(
            {"http://far.test/page", "http://near.test/old", direct.base() + "/page"});
        EXPECT_EQ(describe(results[0]), "ok 200 ");
        EXPECT_EQ(describe(results[1]), "gone 410 ");
        EXPECT_EQ(describe(results[2]), "ok 200 ");
        // near.test's 410 is asked again with GET.
        EXPECT_EQ(proxy.hits().size(), 3u);
        EXPECT_EQ(direct.hits().size(), 1u);
    }
    {
        const ConnectionSettings settings(connectionSettings("", ""));
        ASSERT_TRUE(settings.set());
        EXPECT_EQ(system.current(), platform::SystemProxy{});
    }
}
#endif

TEST(LinkCheck, TheSystemLooksUpNamesOfThisMachine) {
    const auto local = core::systemNameLookup("localhost");
    ASSERT_EQ(local.answer, core::NameLookup::Found);
    const auto& a = local.addresses;
    EXPECT_TRUE(std::find(a.begin(), a.end(), "127.0.0.1") != a.end() ||
                std::find(a.begin(), a.end(), "[::1]") != a.end());
    EXPECT_EQ(core::systemNameLookup("127.0.0.2").addresses, std::vector<std::string>{"127.0.0.2"});
}

TEST(LinkCheck, StatusNamesReadBack) {
    for (std::size_t i = 0; i < core::kLinkStatusCount; ++i) {
        const auto status = static_cast<LinkStatus>(i);
        EXPECT_EQ(core::linkStatusFromName(core::linkStatusName(status)), status);
    }
    EXPECT_FALSE(core::linkStatusFromName("dead"));
}

TEST(LinkState, ResultsAreKeptPerAddressWithTheirTime) {
    TempDir dir;
    SystemFileSystem fs;
    const std::string file = core::LinkState::fileIn(dir / native("state/brimmark/"));
    const std::int64_t day = 86400, now = 1'800'000'000;

    core::LinkState first;
    first.record("http://a.test/", {LinkStatus::Moved, 200, "http://b.test/"}, now - 2 * day);
    first.record("http://c.test/", {LinkStatus::Gone, 404, ""}, now - 2 * day);
    ASSERT_TRUE(first.save(fs, file));
    // A later check's results join those kept, replacing those of its addresses.
    core::LinkState second;
    second.record("http://c.test/", {LinkStatus::Ok, 200, ""}, now);
    second.record("http://日本.test/ページ", {LinkStatus::Timeout, 0, ""}, now);
    ASSERT_TRUE(second.save(fs, file));

    const auto kept = core::LinkState::read(fs, file);
    const std::map<std::string, core::CheckedLink> expected = {
        {"http://a.test/", {{LinkStatus::Moved, 200, "http://b.test/"}, now - 2 * day}},
        {"http://c.test/", {{LinkStatus::Ok, 200, ""}, now}},
        {"http://日本.test/ページ", {{LinkStatus::Timeout, 0, ""}, now}},
    };
    EXPECT_EQ(kept.links, expected);

    const struct {
        const char* url;
        double days;
        bool within;
    } cases[] = {
        {"http://a.test/", 3, true},        {"http://a.test/", 2, false},
        {"http://a.test/", 1, false},       {"http://c.test/", 0.5, true},
        {"http://never.test/", 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kept.checkedWithin(c.url, now, c.days), c.within) << c.url << " " << c.days;
}

TEST(LinkState, ChecksSavingAtOnceLoseNoResultTheyWereToldWasKept) {
    TempDir dir;
    const std::string file = core::LinkState::fileIn(dir / native("state/brimmark/"));
    constexpr int kWriters = 6, kSaves = 8;
    std::vector<std::vector<std::string>> kept(kWriters);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            SystemFileSystem fs;
            for (int n = 0; n < kSaves; ++n) {
                const std::string url =
                    "http://w" + std::to_string(w) + ".test/" + std::to_string(n);
                core::LinkState state;
                state.record(url, {LinkStatus::Ok, 200, ""}, 1'800'000'000);
                // A save either keeps its result or says it could not.
                if (state.save(fs, file)) kept[w].push_back(url);
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    SystemFileSystem fs;
    const auto links = core::LinkState::read(fs, file).links;
    std::size_t saved = 0;
    for (const auto& urls : kept) {
        saved += urls.size();
        for (const auto& url : urls)
            EXPECT_TRUE(links.count(url)) << url << " was saved but is not in the file";
    }
    EXPECT_GT(saved, 0u);
}

#ifndef _WIN32
// A writer killed at any moment of its saves leaves the last state whole or
// the new one whole: never a part (which would read as no state at all),
// never a mix; and the next save leaves nothing beside the file.
TEST(LinkState, AWriterKilledAtAnyMomentLeavesTheOldStateOrTheNew) {
    TempDir dir;
    const std::string folder = dir / "state/brimmark/";
    const std::string file = core::LinkState::fileIn(folder);
    // Enough addresses that a save takes a while to write.
    const auto checkedAt = [](std::int64_t when) {
        core::LinkState state;
        for (int i = 0; i < 5000; ++i) {
            state.record("http://h" + std::to_string(i % 50) + ".test/page/" + std::to_string(i),
                         {LinkStatus::Moved, 301, "http://new.test/" + std::to_string(i)}, when);
        }
        return state;
    };
    SystemFileSystem fs;
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(checkedAt(1).save(fs, file));
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - began);
    std::mt19937 random(1209);
    std::uniform_int_distribution<std::int64_t> delay(0, 3 * oneSave.count() + 1000);
    std::int64_t last = 1;
    int kept[2] = {0, 0};
    for (int kill = 0; kill < 60; ++kill) {
        const std::int64_t next = kill + 2;
        const core::LinkState state = checkedAt(next);
        // The child says when it starts saving, so that the time a fork takes
        // does not eat the moments the kill is aimed at.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            const char go = 1;
            if (write(ready[1], &go, 1) != 1) _exit(3);
            SystemFileSystem own;
            for (;;)
                static_cast<void>(state.save(own, file));
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself at kill " << kill;

        const auto links = core::LinkState::read(fs, file).links;
        ASSERT_EQ(links.size(), 5000u) << "a torn state file after kill " << kill;
        const std::int64_t when = links.begin()->second.checked;
        ASSERT_TRUE(when == last || when == next) << "kill " << kill << ": " << when;
        for (const auto& [url, link] : links)
            ASSERT_EQ(link.checked, when) << "a mix after kill " << kill << " at " << url;
        ++kept[when == next];
        last = when;
    }
    // Kills landed both before and after a save was done.
    EXPECT_GT(kept[0], 0);
    EXPECT_GT(kept[1], 0);
    ASSERT_TRUE(checkedAt(99).save(fs, file));
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>{"linkcheck.json"});
}
#endif

TEST(LinkState, ADamagedFileIsStartedAfresh) {
    TempDir dir;
    SystemFileSystem fs;
    const std::string file = core::LinkState::fileIn(dir.path());
    for (const char* bytes :
         {"", "{", "[1,2]", "{\"links\":{\"http://a/\":{\"status\":\"dead\"}}}"}) {
        writeFile(file, bytes);
        EXPECT_TRUE(core::LinkState::read(fs, file).links.empty()) << bytes;
    }
    core::LinkState state;
    state.record("http://a/", {LinkStatus::Ok, 200, ""}, 1);
    ASSERT_TRUE(state.save(fs, file));
    EXPECT_EQ(core::LinkState::read(fs, file).links, state.links);
}

}  // namespace
}  // namespace brim::test
