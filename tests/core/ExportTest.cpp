#include <gtest/gtest.h>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "core/Export.h"

namespace brim::core {
namespace {

using test::cp932;

const std::string kHeader =
    "<HTML>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=x-sjis\">\r\n" +
    cp932("<TITLE>私のお気に入り</TITLE>") + "\r\n</HEAD>\r\n<BODY BGCOLOR=\"#ffffff\">\r\n\r\n" +
    cp932("<P>ブックマークのリスト</P>") + "\r\n<UL>\r\n";
const std::string kFooter = "</UL>\r\n</BODY>\r\n</HTML>\r\n";
const std::string kSep = cp932("\u3000");

class ExportTest : public test::CatalogFixture {
  protected:
    Exporter exporter{catalog};

    void SetUp() override {
        test::writeShortcut(root + "Top.url", "http://a1/", "c1");
        test::writeShortcut(root + "Links/News.url", "http://a2/", "c2");
        test::writeShortcut(root + "Links/Old.url", "http://a3/", "");
        test::writeShortcut(root + "A/B/deep.url", "http://d/", "深い");
        test::writeShortcut(root + "x.url", "http://x/?a=1&b=\"2\"",
                            "<script>alert(\"x\")</script>, \"quoted\"");
        test::writeShortcut(root + "Café/\U0001F600.url", "http://e/", "");
    }
};

TEST_F(ExportTest, HtmlExampleWithTheCommentOption) {
    const std::vector<ListRow> rows = {{"Top.url", "\\"}, {"News.url", "\\Links\\"}};
    EXPECT_EQ(exporter.HtmlPage(rows, false, {false, true}),
              kHeader + " <LI><A HREF=\"http://a1/\">Top</A>" + kSep +
                  "c1 \r\n</UL>\r\n<P>Links</P>\r\n<UL>\r\n" +
                  " <LI><A HREF=\"http://a2/\">News</A>" + kSep + "c2 \r\n" + kFooter);
}

TEST_F(ExportTest, HtmlOptionsAndHeadings) {
    // The first row in a subfolder: the page starts with an empty list.
    const std::vector<ListRow> rows = {{"deep.url", "\\A\\B\\"}, {"Top.url", "\\"}};
    EXPECT_EQ(exporter.HtmlPage(rows, false, {true, true}),
              kHeader + "</UL>\r\n<P>A\\B</P>\r\n<UL>\r\n <LI><A HREF=\"http://d/\">deep</A>" +
                  kSep + "http://d/" + kSep + cp932("深い") + " \r\n</UL>\r\n<P></P>\r\n<UL>\r\n" +
                  " <LI><A HREF=\"http://a1/\">Top</A>" + kSep + "http://a1/" + kSep + "c1 \r\n" +
                  kFooter);
    EXPECT_EQ(exporter.HtmlPage({{"Top.url", "\\"}}, false, {false, false}),
              kHeader + " <LI><A HREF=\"http://a1/\">Top</A> \r\n" + kFooter);
    // A folder in two runs gets its heading twice.
    const std::vector<ListRow> split = {
        {"News.url", "\\Links\\"}, {"Top.url", "\\"}, {"Old.url", "\\Links\\"}};
    const std::string page = exporter.HtmlPage(split, false, {false, false});
    std::size_t headings = 0;
    for (std::size_t at = page.find("<P>Links</P>"); at != std::string::npos;
         at = page.find("<P>Links</P>", at + 1)) {
        ++headings;
    }
    EXPECT_EQ(headings, 2u);
}

TEST_F(ExportTest, HtmlEscapesTextAndReferencesWhatTheCodePageLacks) {
    EXPECT_EQ(exporter.HtmlPage({{"x.url", "\\"}}, false, {true, true}),
              kHeader + " <LI><A HREF=\"http://x/?a=1&amp;b=&quot;2&quot;\">x</A>" + kSep +
                  "http://x/?a=1&amp;b=&quot;2&quot;" + kSep +
                  "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;, &quot;quoted&quot; \r\n" +
                  kFooter);
}

TEST_F(ExportTest, HtmlOfBrowserPages) {
    EXPECT_EQ(exporter.HtmlPage({{"Title <b>", "https://p/"}}, true, {true, false}),
              kHeader + " <LI><A HREF=\"https://p/\">Title &lt;b&gt;</A>" + kSep +
                  "https://p/ \r\n" + kFooter);
}

TEST_F(ExportTest, CsvLines) {
    const std::vector<ListRow> rows = {{"News.url", "\\Links\\"},
                                       {"Top.url", "\\"},
                                       {"deep.url", "\\A\\B\\"},
                                       {"x.url", "\\"},
                                       {"\U0001F600.url", "\\Café\\"}};
    EXPECT_EQ(exporter.CsvFile(rows, false),
              cp932("名称, フォルダ, URL, コメント") + "\r\n" +
                  "\"News\",\"Links\",\"http://a2/\",\"c2\"\r\n" +
                  "\"Top\",\"\",\"http://a1/\",\"c1\"\r\n" + "\"deep\",\"A\\B\",\"http://d/\",\"" +
                  cp932("深い") + "\"\r\n" +
                  "\"x\",\"\",\"http://x/?a=1&b=\"\"2\"\"\",\"<script>alert(\"\"x\"\")</script>, "
                  "\"\"quoted\"\"\"\r\n" +
                  "\"?\",\"Caf?\",\"http://e/\",\"\"\r\n");
    EXPECT_EQ(exporter.CsvFile({{"Page", "https://p/"}}, true),
              cp932("名称, フォルダ, URL, コメント") + "\r\n\"Page\",\"\",\"https://p/\",\"\"\r\n");
}

TEST_F(ExportTest, FileNames) {
    EXPECT_EQ(ExportFileName("Bookmarks.htm", ".html"), "Bookmarks.html");
    EXPECT_EQ(ExportFileName("my.list", ".html"), "my.list.html");
    EXPECT_EQ(ExportFileName("list.txt", ".csv"), "list.csv");
    EXPECT_EQ(ExportFileName("お気に入り一覧", ".csv"), "お気に入り一覧.csv");
}

TEST_F(ExportTest, NetscapeTree) {
    const std::vector<ListRow> rows = {{"Top.url", "\\"},
                                       {"News.url", "\\Links\\"},
                                       {"deep.url", "\\A\\B\\"},
                                       {"Old.url", "\\Links\\"}};
    const std::string file = exporter.NetscapeFile(rows, false, 1700000000);
    EXPECT_EQ(file.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n", 0), 0u);
    EXPECT_NE(file.find("<DL><p>\n    <DT><A HREF=\"http://a1/\" ADD_DATE=\""), std::string::npos);
    EXPECT_NE(file.find(">Top</A>\n    <DD>c1\n"), std::string::npos);
    EXPECT_NE(
        file.find("    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">Links</H3>\n"
                  "    <DL><p>\n        <DT><A HREF=\"http://a2/\""),
        std::string::npos);
    EXPECT_NE(file.find(">Old</A>\n    </DL><p>\n"), std::string::npos);  // no <DD> for no comment
    EXPECT_NE(file.find("            <DT><A HREF=\"http://d/\""), std::string::npos);
    EXPECT_NE(file.find("<DD>深い\n"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 9), "</DL><p>\n");
}

}  // namespace
}  // namespace brim::core
