// What reaches the terminal: columns aligned by display width, JSON escaped
// as JSON does.

#include <nlohmann/json.hpp>

#include "CliTestSupport.h"
#include "cli/Output.h"
#include "core/Numbers.h"

#include <random>
#include <sstream>

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

TEST(JsonString, GivesNlohmannsTextForAnyBytes) {
    std::vector<std::string> texts = {"",
                                      "plain",
                                      "ニュース 天気",
                                      "\xc2\x80",
                                      "\xc2\xa0",
                                      "\xed\xa0\x80",
                                      "\xf4\x90\x80\x80",
                                      "\xe3\x81",
                                      "\"",
                                      "\\",
                                      "/",
                                      "\x7f",
                                      std::string(1, '\0')};
    // Random texts, mostly of the bytes that decide: ASCII, C0, C2 and UTF-8 leads.
    std::mt19937 rng(3);
    const std::string alphabet =
        "aZ \"\\\b\t\n\f\r\x01\x1f\x7f\xc2\x80\x9f\xa0\xe3\x81\x82\xef\xbf\xbd\xff"
        "\xe0\xed\xdf\xf0\x90\xbf";
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        for (std::size_t n = rng() % 24; n > 0; --n)
            t += alphabet[rng() % alphabet.size()];
        texts.push_back(t);
    }
    // Every byte at every place of a text of multibyte characters.
    const std::string base = "a\xe3\x81\x82\xc3\xa9\xed\x9f\xbf\xe0\xa0\x80zz\xc2\xa0";
    for (int b = 0; b < 256; ++b) {
        for (std::size_t at = 0; at <= base.size(); ++at) {
            std::string t = base;
            t.insert(at, 1, static_cast<char>(b));
            texts.push_back(t);
            t = base;
            if (at < base.size()) t[at] = static_cast<char>(b);
            texts.push_back(t);
        }
    }
    for (const auto& t : texts) {
        ASSERT_EQ(jsonString(t), jsonText(nlohmann::ordered_json(t))) << testing::PrintToString(t);
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        object["name"] = t;
        object["url"] = "u";
        ASSERT_EQ(jsonObject({{"name", t}, {"url", "u"}}), jsonText(object))
            << testing::PrintToString(t);
    }
    EXPECT_EQ(jsonObject({}), "{}");
}

TEST(FavoritesPrinter, PrintsTheTableOfEveryRowHeldOrNot) {
    const std::string longFolder = "\\" + std::string(45, 'f') + "\\";
    const std::string longName = std::string(50, 'n') + ".url";
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> rows;
    };
    const std::vector<Case> cases = {
        {"no rows", {}},
        {"narrow columns", {{"a.url", "\\", "x"}, {"ニュース.url", "\\A\\", "毎日"}}},
        {"columns at their widest part way",
         {{"a.url", "\\", "x"},
          {longName, "\\", "y"},
          {"b\x1b.url", longFolder, "z\x07"},
          {"c.url", "\\", ""},
          {longName, longFolder, "after"},
          {"d.url", "\\B\\", "late"}}},
        {"at their widest from the first row", {{longName, longFolder, "c"}, {"e.url", "\\", ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ostringstream streamed, table;
        FavoritesPrinter printer(streamed, false);
        for (const auto& r : c.rows)
            printer.add({r[0], r[1], r[2], "http://u/", "/p"});
        printer.finish();
        printTable(table, {"Name", "Folder", "Comment"}, c.rows);
        table << core::CountCaption("ファイル数:", static_cast<std::int64_t>(c.rows.size()))
              << '\n';
        EXPECT_EQ(streamed.str(), table.str());
    }
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
