// The libraries Brimmark takes from Debian, as each build links them: the
// Windows build's copies, built from Debian's sources, must do what Linux's
// packages do (TLS, HTTP on the loopback under Wine, IDNA, SQL, HTML, LZ4).

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <idn2.h>
#include <libxml/HTMLparser.h>
#include <lz4.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace brim::test {
namespace {

using namespace std::chrono_literals;

TEST(Libraries, CurlSpeaksTlsAndTheProtocolsOfTheLinkCheck) {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    EXPECT_TRUE(info->features & CURL_VERSION_SSL);
    EXPECT_TRUE(info->features & CURL_VERSION_IDN);
    std::string protocols;
    for (const char* const* p = info->protocols; *p; ++p)
        protocols += std::string(*p) + " ";
    for (const char* wanted : {"http ", "https ", "ftp "}) {
        EXPECT_NE(protocols.find(wanted), std::string::npos) << wanted << "in " << protocols;
    }
#ifdef _WIN32
    // The system's TLS and certificates, not a library of its own.
    EXPECT_NE(std::string(info->ssl_version).find("Schannel"), std::string::npos)
        << info->ssl_version;
#endif
}

struct Fetched {
    CURLcode result = CURLE_OK;
    long code = 0;
    long redirects = 0;
    std::string body;
};

Fetched fetch(const std::string& url, bool head) {
    Fetched f;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_NOBODY, head ? 1L : 0L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 20L);
    // The test's own server, whatever proxy the environment names.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &f.body);
    curl_easy_setopt(
        curl.get(), CURLOPT_WRITEFUNCTION, +[](char* data, size_t, size_t n, void* body) {
            static_cast<std::string*>(body)->append(data, n);
            return n;
        });
    f.result = curl_easy_perform(curl.get());
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &f.code);
    curl_easy_getinfo(curl.get(), CURLINFO_REDIRECT_COUNT, &f.redirects);
    return f;
}

TEST(Libraries, CurlFetchesFromAServerOnTheLoopback) {
    httplib::Server server;
    server.Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ページ", "text/plain; charset=utf-8");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/page", 301);
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&server] { server.listen_after_bind(); });
    for (int i = 0; i < 500 && !server.is_running(); ++i)
        std::this_thread::sleep_for(10ms);

    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    const struct {
        const char* path;
        bool head;
        long code, redirects;
        const char* body;
    } cases[] = {
        {"/page", false, 200, 0, "ページ"},  {"/page", true, 200, 0, ""},
        {"/moved", false, 200, 1, "ページ"}, {"/moved", true, 200, 1, ""},
        {"/none", false, 404, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.head ? "HEAD " : "GET ") + c.path);
        const Fetched f = fetch(base + c.path, c.head);
        EXPECT_EQ(f.result, CURLE_OK) << curl_easy_strerror(f.result);
        EXPECT_EQ(f.code, c.code);
        EXPECT_EQ(f.redirects, c.redirects);
        EXPECT_EQ(f.body, c.body);
    }
    server.stop();
    serving.join();
    // A port no one listens on any more is refused, not waited for.
    EXPECT_EQ(fetch(base + "/page", false).result, CURLE_COULDNT_CONNECT);
}

TEST(Libraries, Idn2GivesTheAsciiFormOfNames) {
    const struct {
        const char *name, *ascii;
    } cases[] = {
        {"example.com", "example.com"},
        {"bücher.example", "xn--bcher-kva.example"},
        {"日本語.jp", "xn--wgv71a119e.jp"},
    };
    for (const auto& c : cases) {
        char* out = nullptr;
        ASSERT_EQ(idn2_lookup_u8(reinterpret_cast<const uint8_t*>(c.name),
                                 reinterpret_cast<uint8_t**>(&out), IDN2_NONTRANSITIONAL),
                  IDN2_OK)
            << c.name;
        EXPECT_STREQ(out, c.ascii);
        idn2_free(out);
    }
}

TEST(Libraries, SqliteRunsQueriesWithTheHeadersItWasBuiltWith) {
    EXPECT_STREQ(sqlite3_libversion(), SQLITE_VERSION);
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    ASSERT_EQ(sqlite3_exec(db.get(),
                           "CREATE TABLE t(x TEXT); INSERT INTO t VALUES ('お気に入り'), ('b');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::string seen;
    sqlite3_exec(
        db.get(), "SELECT x FROM t ORDER BY x DESC",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += std::string(values[0]) + ";";
            return 0;
        },
        &seen, nullptr);
    EXPECT_EQ(seen, "お気に入り;b;");
}

TEST(Libraries, Libxml2ParsesHtmlInTheCharsetsItKnows) {
    const struct {
        std::string html;
        const char* encoding;  // as the caller says, or taken from the document
        const char* text;
    } cases[] = {
        {"<p>caf&eacute; お気に入り</p>", "UTF-8", "café お気に入り"},
        {"<meta charset=\"iso-8859-1\"><p>caf\xe9</p>", nullptr, "café"},
        {std::string("\xff\xfe<\0p\0>\0\xe9\0", 10), nullptr, "é"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
            htmlReadMemory(c.html.data(), static_cast<int>(c.html.size()), nullptr, c.encoding,
                           HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET),
            xmlFreeDoc);
        ASSERT_TRUE(doc) << c.text;
        xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc.get()));
        EXPECT_STREQ(reinterpret_cast<const char*>(text), c.text);
        xmlFree(text);
    }
}

TEST(Libraries, Lz4DecodesWhatItEncodes) {
    std::string data;
    for (int i = 0; i < 2000; ++i)
        data += "{\"url\":\"https://example.com/" + std::to_string(i % 37) + "\"},";
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(data.size()))),
                      '\0');
    const int packed = LZ4_compress_default(
        data.data(), block.data(), static_cast<int>(data.size()), static_cast<int>(block.size()));
    ASSERT_GT(packed, 0);
    EXPECT_LT(packed, static_cast<int>(data.size()) / 4);
    std::string out(data.size(), '\0');
    EXPECT_EQ(LZ4_decompress_safe(block.data(), out.data(), packed, static_cast<int>(out.size())),
              static_cast<int>(data.size()));
    EXPECT_EQ(out, data);
}

}  // namespace
}  // namespace brim::test
