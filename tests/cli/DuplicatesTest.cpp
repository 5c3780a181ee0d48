// The duplicates verb over a temporary Favorites folder.

#include <algorithm>
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace brim::cli::test {
namespace {

using Duplicates = CliFixture;
using Json = nlohmann::json;

// ASCII text as UTF-16LE with its byte order mark.
std::string utf16(std::string_view ascii) {
    std::string bytes = "\xff\xfe";
    for (const char c : ascii)
        bytes += {c, '\0'};
    return bytes;
}

TEST_F(Duplicates, GroupsTheFavoritesThatLeadToTheSamePage) {
    writeShortcut(root + "a.url", "https://Example.com:443/page?utm_source=feed");
    // Damaged and odd files lie between them and are passed over.
    const char garbage[] = "\xff\xfe\x00\x01[Intern\0et\xff";
    writeFile(root + "b.url", std::string(garbage, sizeof garbage - 1));
    writeFile(root + "c.url", "");
    writeFile(root + "d.url", "URL=https://example.com/page\r\n");
    writeFile(root + "e.txt", "https://example.com/page");
    writeShortcut(root + "f.url", "mailto:me@example.com");
    writeShortcut(root + "g.url", "http://exa mple.com/");
    writeShortcut(root + "News/h.url", "https://example.com/page#top");
    writeShortcut(root + "News/i.url", "https://example.com/Page");
    writeShortcut(root + "News/j.url", "http://日本語.jp/ニュース");
    // The same in UTF-16, as a browser may write it.
    writeFile(root + "Sport/k.url", utf16("[InternetShortcut]\r\nURL=mailto:me@example.com\r\n"));
    writeShortcut(root + "Sport/l.url",
                  "HTTP://XN--WGV71A119E.JP/%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9");
    const auto favorite = [&](const char* folder, const char* name, const char* url,
                              const std::string& path) {
        return Json{
            {"folder", folder}, {"name", name}, {"url", url}, {"path", root + native(path)}};
    };
    // Groups in the order of their first favorite in the list: the Favorites
    // folder's own files, then Sport, then News.
    const Json expected = {
        {{"address", "https://example.com/page"},
         {"favorites",
          {favorite("\\", "a.url", "https://Example.com:443/page?utm_source=feed", "a.url"),
           favorite("\\News\\", "h.url", "https://example.com/page#top", "News/h.url")}}},
        {{"address", "mailto:me@example.com"},
         {"favorites",
          {favorite("\\", "f.url", "mailto:me@example.com", "f.url"),
           favorite("\\Sport\\", "k.url", "mailto:me@example.com", "Sport/k.url")}}},
        {{"address", "http://xn--wgv71a119e.jp/%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9"},
         {"favorites",
          {favorite("\\Sport\\", "l.url",
                    "HTTP://XN--WGV71A119E.JP/%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9", "Sport/l.url"),
           favorite("\\News\\", "j.url", "http://日本語.jp/ニュース", "News/j.url")}}},
    };
    CliRun r = run({"--json", "duplicates"});
    ASSERT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Json::parse(r.out), expected) << r.out;
    // Members in the documented order, one group a line.
    EXPECT_EQ(r.out.rfind("[\n {\"address\":", 0), 0u) << r.out;
    EXPECT_LT(r.out.find("\"favorites\":[{\"folder\":"), r.out.find(",\"name\":"));
    EXPECT_LT(r.out.find(",\"name\":"), r.out.find(",\"url\":"));
    EXPECT_LT(r.out.find(",\"url\":"), r.out.find(",\"path\":"));
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);

    r = run({"duplicates"});
    ASSERT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out,
              "https://example.com/page\n"
              "Name   Folder  URL\n"
              "a.url  \\       https://Example.com:443/page?utm_source=feed\n"
              "h.url  \\News\\  https://example.com/page#top\n"
              "\n"
              "mailto:me@example.com\n"
              "Name   Folder   URL\n"
              "f.url  \\        mailto:me@example.com\n"
              "k.url  \\Sport\\  mailto:me@example.com\n"
              "\n"
              "http://xn--wgv71a119e.jp/%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9\n"
              "Name   Folder   URL\n"
              "l.url  \\Sport\\  HTTP://XN--WGV71A119E.JP/%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9\n"
              "j.url  \\News\\   http://日本語.jp/ニュース\n"
              "\n"
              "3 groups, 6 favorites\n");
}

TEST_F(Duplicates, NoneFoundAndNoFavoritesFolder) {
    writeShortcut(root + "a.url", "http://a.example/");
    writeShortcut(root + "b.url", "http://b.example/");
    writeShortcut(root + "A/c.url", "");
    writeShortcut(root + "A/d.url", "");
    EXPECT_EQ(run({"--json", "duplicates"}).out, "[]\n");
    EXPECT_EQ(run({"duplicates"}).out, "no two favorites lead to the same page\n");
    const CliRun r = run({"--favorites", dir / "none", "duplicates"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "brimmark-cli: cannot read the Favorites folder " + dir.path() +
                         native("none/") + "\n");
    EXPECT_EQ(run({"duplicates", "extra"}).rc, kUsage);
}

TEST_F(Duplicates, AddressesReachTheTerminalOnlyVisibly) {
    writeShortcut(root + "a.url", "http://a.example/\x1b]0;x\x07");
    writeShortcut(root + "b.url", "http://a.example/\x1b]0;x\x07");
    const CliRun r = run({"duplicates"});
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_EQ(r.out.rfind("http://a.example/\\x1b]0;x\\x07\n", 0), 0u) << r.out;
    EXPECT_EQ(Json::parse(run({"--json", "duplicates"}).out)[0]["address"],
              "http://a.example/\x1b]0;x\x07");
}

}  // namespace
}  // namespace brim::cli::test
