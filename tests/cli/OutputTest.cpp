// What reaches the terminal: columns aligned by display width, JSON escaped
// as JSON does.

#include <nlohmann/json.hpp>

#include "CliTestSupport.h"
#include "cli/Output.h"

namespace brim::cli::test {
namespace {

TEST(DisplayWidth, CountsColumnsAsATerminalDoes) {
    const struct {
        std::string text;
        std::size_t width;
    } cases[] = {
        {"abc", 3},      {"日本", 4},
        {"ｱｲ", 2},  // half-width katakana
        {"Ａ", 2},       {"한", 2},
        {"か\u3099", 2},  // decomposed が
        {"e\u0301", 1},  {"\xf0\x9f\x98\x80", 2},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
}

TEST(JsonString, EscapesAsJsonDoes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {std::string("a\x01\n\\\"", 5), "\"a\\u0001\\n\\\\\\\"\""},
        {"\x1b[2J", "\"\\u001b[2J\""},
        {"日本", "\"日本\""},
        {"bad\xff", "\"bad\xef\xbf\xbd\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.in), c.out);
}

TEST(PrintTable, AlignsEscapedAndWideCells) {
    std::ostringstream out;
    printTable(out, {"Name", "Folder", "Comment"},
               {{"ニュース", "\\", "毎日"}, {"a\x1b", "\\A\\", "x"}, {"ab", "\\", ""}});
    EXPECT_EQ(out.str(),
              "Name      Folder  Comment\n"
              "ニュース  \\       毎日\n"
              "a\\x1b     \\A\\     x\n"
              "ab        \\\n");
}

using TerminalOutput = CliFixture;

TEST_F(TerminalOutput, ListAlignsWideNamesAndCounts) {
    writeShortcut(root + "ニュース.url", "http://n/", "毎日");
    writeShortcut(root + "ab.url", "http://a/", "x");
    const CliRun r = run({"list"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out,
              "Name          Folder  Comment\n"
              "ab.url        \\       x\n"
              "ニュース.url  \\       毎日\n"
              "ファイル数: 2\n");
}

// Favorites whose names, folders, comments and addresses carry terminal
// controls; every output shows them escaped and never raw.
#ifndef _WIN32
// Windows names hold no control characters.
TEST_F(TerminalOutput, HostileFavoritesCannotDriveTheTerminal) {
    writeShortcut(root + "\x1b]0;title\x07.url", "http://a/\x1b[2J", "\x1b[31mred");
    writeShortcut(root + "Bell\x07/b.url", "javascript:alert(1)", "tab\tand\x0b");
    writeShortcut(root + "c.url", "http://c/", "del\x7f");
    // A name the walks skip and warn about.
    writeShortcut(root + "back\\slash\x1b[5m.url", "http://s/");
    const auto raw = [](const std::string& text) {
        for (const char ch : text) {
            const auto u = static_cast<unsigned char>(ch);
            if (u < 0x20 && ch != '\n') return true;
            if (u == 0x7f) return true;
        }
        return text.find("\xc2\x9b") != std::string::npos;
    };
    for (const std::vector<std::string>& args : {std::vector<std::string>{"list"},
                                                 {"search", "--fields", "url", "http"},
                                                 {"same", "http"},
                                                 {"folders"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        EXPECT_FALSE(raw(r.out)) << r.out;
        EXPECT_FALSE(raw(r.err)) << r.err;
        EXPECT_NE(
            r.err.find("skipped a name that cannot be shown: " + root + "back\\slash\\x1b[5m.url"),
            std::string::npos)
            << r.err;
    }
    const std::string list = run({"list"}).out;
    EXPECT_NE(list.find("\\x1b]0;title\\x07.url"), std::string::npos) << list;
    EXPECT_NE(list.find("\\x1b[31mred"), std::string::npos) << list;
    EXPECT_NE(list.find("tab\\x09and\\x0b"), std::string::npos) << list;
    EXPECT_NE(list.find("del\\x7f"), std::string::npos) << list;
    EXPECT_NE(run({"folders"}).out.find("\\Bell\\x07\\"), std::string::npos);

    // JSON keeps the text whole, escaped as JSON does.
    const CliRun json = run({"--json", "list"});
    EXPECT_FALSE(raw(json.out)) << json.out;
    const auto rows = nlohmann::json::parse(json.out);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> comments, urls;
    for (const auto& row : rows) {
        comments.push_back(row["comment"]);
        urls.push_back(row["url"]);
    }
    EXPECT_EQ(comments, (std::vector<std::string>{"\x1b[31mred", "del\x7f", "tab\tand\x0b"}));
    EXPECT_EQ(urls,
              (std::vector<std::string>{"http://a/\x1b[2J", "http://c/", "javascript:alert(1)"}));
    EXPECT_NE(json.out.find("\\u001b[31mred"), std::string::npos);

    // Browser pages: C1 controls (U+009B, the one-character CSI) as well.
    s.pages->pages = {
        {"csi\xc2\x9b"
         "2J",
         "http://p/\x1b[5m", "Chromium"}};
    const CliRun pages = run({"pages"});
    EXPECT_FALSE(raw(pages.out)) << pages.out;
    EXPECT_NE(pages.out.find("csi\\x9b2J"), std::string::npos) << pages.out;
    EXPECT_NE(pages.out.find("http://p/\\x1b[5m"), std::string::npos) << pages.out;
    const CliRun pagesJson = run({"--json", "pages"});
    EXPECT_FALSE(raw(pagesJson.out)) << pagesJson.out;
    EXPECT_EQ(nlohmann::json::parse(pagesJson.out)[0]["title"],
              "csi\xc2\x9b"
              "2J");
    EXPECT_NE(pagesJson.out.find("csi\\u009b2J"), std::string::npos) << pagesJson.out;
}
#endif

}  // namespace
}  // namespace brim::cli::test
