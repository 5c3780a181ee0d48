// Favorites that try to run something when an export is opened: formulas in
// a spreadsheet, scripts in a page, escape sequences and line breaks.

#include <gtest/gtest.h>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "core/Export.h"

namespace brim::core {
namespace {

using test::cp932;

// One favorite on disk and what each export must make of it.
struct Hostile {
    std::string folder;  // "" for the Favorites folder itself
    std::string file;
    std::string url;
    std::string comment;
    std::string htmlLine;  // the row's line of the page (address off, comment on)
    std::string csvLine;
    std::string netscapeLink;  // the <A> line of the bookmark file, from HREF to </A>
};

const std::string kSep = "\u3000";

const std::vector<Hostile> kHostile = {
    {"", "=SUM(A1).url", "http://ok.example/", "=HYPERLINK(\"http://evil/\",\"x\")",
     " <LI><A HREF=\"http://ok.example/\">=SUM(A1)</A>" + kSep +
         "=HYPERLINK(&quot;http://evil/&quot;,&quot;x&quot;) ",
     "\"'=SUM(A1)\",\"\",\"http://ok.example/\",\"'=HYPERLINK(\"\"http://evil/\"\",\"\"x\"\")\"",
     "HREF=\"http://ok.example/\""},
    {"Scripts", "+1.url", "javascript:alert(1)", "-2",
     " <LI>+1" + kSep + "javascript:alert(1)" + kSep + "-2 ",
     "\"'+1\",\"Scripts\",\"javascript:alert(1)\",\"'-2\"", "HREF=\"javascript:alert(1)\""},
    {"Scripts", "@data.url", "data:text/html,<script>alert(1)</script>", "@x",
     " <LI>@data" + kSep + "data:text/html,&lt;script&gt;alert(1)&lt;/script&gt;" + kSep + "@x ",
     "\"'@data\",\"Scripts\",\"data:text/html,<script>alert(1)</script>\",\"'@x\"",
     "HREF=\"data:text/html,&lt;script&gt;alert(1)&lt;/script&gt;\""},
    {"Scripts", "\tvb.url", "VBScript:MsgBox(1)", "ok",
     " <LI> vb" + kSep + "VBScript:MsgBox(1)" + kSep + "ok ",
     "\"' vb\",\"Scripts\",\"VBScript:MsgBox(1)\",\"ok\"", "HREF=\"VBScript:MsgBox(1)\""},
    {"Line\nBreak", "Esc\x1b[31mRed.url", "http://e.example/\x1b[0m", "\x1b]0;pwned\x07 note",
     " <LI><A HREF=\"http://e.example/%1B[0m\">Esc [31mRed</A>" + kSep + " ]0;pwned  note ",
     "\"Esc [31mRed\",\"Line Break\",\"http://e.example/%1B[0m\",\" ]0;pwned  note\"",
     "HREF=\"http://e.example/%1B[0m\""},
    {"C1\u009b", "\r=cmd.url", "file:///tmp/x", "",
     " <LI><A HREF=\"file:///tmp/x\"> =cmd</A>" + kSep + " ",
     "\"' =cmd\",\"C1 \",\"file:///tmp/x\",\"\"", "HREF=\"file:///tmp/x\""},
    {"Quote\"s %d", "100% \"sure\".url", "mailto:a@b.example?subject=%41", "\"q\" 50%",
     " <LI><A HREF=\"mailto:a@b.example?subject=%41\">100% &quot;sure&quot;</A>" + kSep +
         "&quot;q&quot; 50% ",
     "\"100% \"\"sure\"\"\",\"Quote\"\"s %d\",\"mailto:a@b.example?subject=%41\",\"\"\"q\"\" "
     "50%\"",
     "HREF=\"mailto:a@b.example?subject=%41\""},
    {"", "tab.url", "java\tscript:alert(3)", "",
     " <LI>tab" + kSep + "javascript:alert(3)" + kSep + " ",
     "\"tab\",\"\",\"javascript:alert(3)\",\"\"", "HREF=\"javascript:alert(3)\""},
};

// Lines of a file, each without its end; `end` is the line end every line
// must have. Fails the test on a control character anywhere else.
std::vector<std::string> cleanLines(const std::string& file, std::string_view end) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = file.find(end, start)) != std::string::npos;
         start = at + end.size()) {
        lines.push_back(file.substr(start, at - start));
    }
    EXPECT_EQ(start, file.size()) << "text after the last line end";
    for (const auto& line : lines) {
        for (const char c : line) {
            const auto b = static_cast<unsigned char>(c);
            EXPECT_FALSE(b < 0x20 || b == 0x7F) << "control " << int(b) << " in: " << line;
        }
    }
    return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class HostileExportTest : public test::CatalogFixture {
  protected:
    Exporter exporter{catalog};
    std::vector<ListRow> rows;

    void SetUp() override {
        for (const auto& h : kHostile) {
            const std::string folder = h.folder.empty() ? "" : h.folder + "/";
            test::writeShortcut(root + folder + h.file, h.url, h.comment);
            rows.push_back({h.file, h.folder.empty() ? "\\" : "\\" + h.folder + "\\"});
        }
    }
};

TEST_F(HostileExportTest, HtmlLinksOnlySafeAddressesAndKeepsEachRowOnOneLine) {
    const auto lines = cleanLines(exporter.HtmlPage(rows, false, {false, true}), "\r\n");
    std::size_t links = 0;
    for (const auto& h : kHostile) {
        SCOPED_TRACE(h.file);
        EXPECT_TRUE(hasLine(lines, cp932(h.htmlLine)));
        if (h.htmlLine.find("<A HREF") != std::string::npos) ++links;
    }
    std::size_t anchors = 0;
    for (const auto& line : lines)
        anchors += line.find("<A ") != std::string::npos;
    EXPECT_EQ(anchors, links);
    EXPECT_EQ(links, 4u);
    EXPECT_TRUE(hasLine(lines, "<P>Line Break</P>"));
    EXPECT_TRUE(hasLine(lines, "<P>C1 </P>"));
    EXPECT_TRUE(hasLine(lines, "<P>Quote&quot;s %d</P>"));
    // Header 8, a row line each, three lines for each of the 5 headings, footer 3.
    EXPECT_EQ(lines.size(), 8 + kHostile.size() + 3 * 5 + 3);
}

TEST_F(HostileExportTest, HtmlShowsTheAddressOnceWhenTheOptionAsksForIt) {
    const auto lines = cleanLines(exporter.HtmlPage(rows, false, {true, false}), "\r\n");
    EXPECT_TRUE(hasLine(lines, cp932(" <LI>+1" + kSep + "javascript:alert(1) ")));
    EXPECT_TRUE(hasLine(lines, cp932(" <LI><A HREF=\"http://ok.example/\">=SUM(A1)</A>" + kSep +
                                     "http://ok.example/ ")));
}

TEST_F(HostileExportTest, CsvCellsAreTextToASpreadsheet) {
    std::size_t replaced = 99;
    const std::string file = exporter.CsvFile(rows, false, CsvEncoding::CodePage, &replaced);
    std::string expected = "名称, フォルダ, URL, コメント\r\n";
    for (const auto& h : kHostile)
        expected += h.csvLine + "\r\n";
    EXPECT_EQ(file, cp932(expected));
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(cleanLines(file, "\r\n").size(), 1 + kHostile.size());

    const std::string utf8 = exporter.CsvFile(rows, false, CsvEncoding::Utf8, &replaced);
    EXPECT_EQ(utf8, "\xEF\xBB\xBF" + expected);
    EXPECT_EQ(replaced, 0u);
}

TEST_F(HostileExportTest, NetscapeKeepsEveryAddressOnOneLine) {
    const auto lines = cleanLines(exporter.NetscapeFile(rows, false, 1700000000), "\n");
    for (const auto& h : kHostile) {
        SCOPED_TRACE(h.file);
        std::size_t found = 0;
        for (const auto& line : lines)
            found += line.find(h.netscapeLink) != std::string::npos;
        EXPECT_EQ(found, 1u);
    }
    const auto contains = [&](std::string_view text) {
        for (const auto& line : lines) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    };
    EXPECT_TRUE(contains(">Line Break</H3>"));
    EXPECT_TRUE(contains(">C1 </H3>"));
    EXPECT_TRUE(contains(">Esc [31mRed</A>"));
    EXPECT_TRUE(contains("<DD> ]0;pwned  note"));
    EXPECT_TRUE(contains("> =cmd</A>"));
}

TEST_F(HostileExportTest, BrowserPagesAreTreatedAlike) {
    const std::vector<ListRow> pages = {{"=cmd|' /C calc'!A0", "javascript:void(0)"},
                                        {"Title\x1b[2J", "https://p.example/\n"},
                                        {"Lead", "\x01http://p.example/"}};
    EXPECT_EQ(exporter.CsvFile(pages, true),
              cp932("名称, フォルダ, URL, コメント\r\n") +
                  "\"'=cmd|' /C calc'!A0\",\"\",\"javascript:void(0)\",\"\"\r\n"
                  "\"Title [2J\",\"\",\"https://p.example/\",\"\"\r\n"
                  "\"Lead\",\"\",\"%01http://p.example/\",\"\"\r\n");
    const auto lines = cleanLines(exporter.HtmlPage(pages, true, {false, false}), "\r\n");
    EXPECT_TRUE(hasLine(lines, cp932(" <LI>=cmd|' /C calc'!A0" + kSep + "javascript:void(0) ")));
    EXPECT_TRUE(hasLine(lines, " <LI><A HREF=\"https://p.example/\">Title [2J</A> "));
    // Written as %01http:, which a browser reads as no scheme at all: not a link.
    EXPECT_TRUE(hasLine(lines, cp932(" <LI>Lead" + kSep + "%01http://p.example/ ")));
}

// Which first characters make a spreadsheet read a cell as a formula.
TEST_F(HostileExportTest, FormulaStartsGetAQuoteMark) {
    struct Case {
        std::string text;
        std::string cell;
    } const cases[] = {
        {"=1+1", "\"'=1+1\""}, {"+1", "\"'+1\""},      {"-1", "\"'-1\""},
        {"@A1", "\"'@A1\""},   {"\tA", "\"' A\""},     {"\rA", "\"' A\""},
        {"a=1", "\"a=1\""},    {" =1", "\" =1\""},     {"", "\"\""},
        {"'x", "\"'x\""},      {"\"=1", "\"\"\"=1\""}, {"\u3000=1", "\"\u3000=1\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string file = exporter.CsvFile({{c.text, "http://x/"}}, true);
        const std::string line = file.substr(file.find("\r\n") + 2);
        EXPECT_EQ(line, cp932(c.cell) + ",\"\",\"http://x/\",\"\"\r\n");
    }
}

TEST_F(HostileExportTest, CharactersTheCodePageLacksAreCountedOrKept) {
    test::writeShortcut(root + "Café/\U0001F600 ok.url", "http://e/", "");
    const std::vector<ListRow> lacking = {{"\U0001F600 ok.url", "\\Café\\"}};
    std::size_t replaced = 0;
    EXPECT_EQ(
        exporter.CsvFile(lacking, false, CsvEncoding::CodePage, &replaced),
        cp932("名称, フォルダ, URL, コメント\r\n") + "\"? ok\",\"Caf?\",\"http://e/\",\"\"\r\n");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(
        exporter.CsvFile(lacking, false, CsvEncoding::Utf8, &replaced),
        "\xEF\xBB\xBF名称, フォルダ, URL, コメント\r\n\"\U0001F600 ok\",\"Café\",\"http://e/\","
        "\"\"\r\n");
    EXPECT_EQ(replaced, 0u);
}

}  // namespace
}  // namespace brim::core
