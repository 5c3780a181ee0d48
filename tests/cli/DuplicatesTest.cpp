// The duplicates verb over a temporary Favorites folder.

#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace brim::cli::test {
namespace {

using Duplicates = CliFixture;
using Json = nlohmann::json;

TEST_F(Duplicates, GroupsTheFavoritesThatLeadToTheSamePage) {
    writeShortcut(root + "a.url", "https://Example.com:443/page?utm_source=feed");
    // Damaged and odd files between them are passed over.
    const char garbage[] = "\xff\xfe\x00\x01[Intern\0et\xff";
    writeFile(root + "b.url", std::string(garbage, sizeof garbage - 1));
    writeFile(root + "c.url", "");
    writeShortcut(root + "d.url", "mailto:me@example.com");
    writeShortcut(root + "News/e.url", "https://example.com/page#top");
    writeShortcut(root + "News/f.url", "https://example.com/Page");
    // The same address in UTF-16, as a browser may write it.
    std::string utf16 = "\xff\xfe";
    for (const char c : std::string_view("[InternetShortcut]\r\nURL=mailto:me@example.com\r\n"))
        utf16 += {c, '\0'};
    writeFile(root + "Sport/g.url", utf16);

    const auto favorite = [&](const char* folder, const char* name, const char* url,
                              const char* path) {
        return Json{
            {"folder", folder}, {"name", name}, {"url", url}, {"path", root + native(path)}};
    };
    CliRun r = run({"--json", "duplicates"});
    ASSERT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(
        Json::parse(r.out),
        Json({{{"address", "https://example.com/page"},
               {"favorites",
                {favorite("\\", "a.url", "https://Example.com:443/page?utm_source=feed", "a.url"),
                 favorite("\\News\\", "e.url", "https://example.com/page#top", "News/e.url")}}},
              {{"address", "mailto:me@example.com"},
               {"favorites",
                {favorite("\\", "d.url", "mailto:me@example.com", "d.url"),
                 favorite("\\Sport\\", "g.url", "mailto:me@example.com", "Sport/g.url")}}}}))
        << r.out;
    // Members in the documented order, a group a line.
    EXPECT_EQ(
        r.out.rfind("[\n {\"address\":\"https://example.com/page\",\"favorites\":[{\"folder\":"
                    "\"\\\\\",\"name\":\"a.url\",\"url\":",
                    0),
        0u)
        << r.out;
    EXPECT_LT(r.out.find("\"url\":"), r.out.find("\"path\":"));
    EXPECT_EQ(r.out.substr(r.out.find("]}") + 2, 4), ",\n {");

    r = run({"duplicates"});
    EXPECT_EQ(r.out,
              "https://example.com/page\n"
              "Name   Folder  URL\n"
              "a.url  \\       https://Example.com:443/page?utm_source=feed\n"
              "e.url  \\News\\  https://example.com/page#top\n"
              "\n"
              "mailto:me@example.com\n"
              "Name   Folder   URL\n"
              "d.url  \\        mailto:me@example.com\n"
              "g.url  \\Sport\\  mailto:me@example.com\n"
              "\n"
              "2 groups, 4 favorites\n");
}

TEST_F(Duplicates, NoneFoundUnreadableAndUnsafe) {
    writeShortcut(root + "a.url", "http://a.example/");
    writeShortcut(root + "b.url", "http://b.example/");
    writeShortcut(root + "A/c.url", "");
    writeShortcut(root + "A/d.url", "");
    EXPECT_EQ(run({"--json", "duplicates"}).out, "[]\n");
    EXPECT_EQ(run({"duplicates"}).out, "no two favorites lead to the same page\n");
    EXPECT_EQ(run({"duplicates", "extra"}).rc, kUsage);
    CliRun r = run({"--favorites", dir / "none", "duplicates"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "");
    // An address never drives the terminal.
    writeShortcut(root + "e.url", "http://a.example/\x1b]0;x\x07");
    writeShortcut(root + "f.url", "http://a.example/\x1b]0;x\x07");
    r = run({"duplicates"});
    EXPECT_EQ(r.out.rfind("http://a.example/\\x1b]0;x\\x07\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace brim::cli::test
