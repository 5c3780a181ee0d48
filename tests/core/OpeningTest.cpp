#include <gtest/gtest.h>

#include "core/Opening.h"

namespace brim::core {
namespace {

// Addresses as favorites hold them, with the scheme a browser reads and
// whether the program opens them at once or links them from a page.
TEST(Opening, SchemesDecideWhatOpensWithoutAQuestion) {
    struct Case {
        std::string url;
        std::string scheme;
        bool withoutAsking;
        bool linkable;
    } const cases[] = {
        {"http://a.example/", "http", true, true},
        {"HTTPS://a.example/", "https", true, true},
        {"Ftp://files.example/x", "ftp", true, true},
        {"mailto:a@b.example", "mailto", true, true},
        {"file:///home/u/x.html", "file", false, true},
        {"javascript:alert(1)", "javascript", false, false},
        {"JavaScript:alert(1)", "javascript", false, false},
        {"  \x01javascript:alert(1)", "javascript", false, false},
        {"java\tscr\nipt:alert(1)", "javascript", false, false},
        {"data:text/html,<b>x</b>", "data", false, false},
        {"vbscript:msgbox(1)", "vbscript", false, false},
        {"C:\\Windows\\notepad.exe", "c", false, false},
        {"/usr/bin/xterm", "", false, false},
        {"www.example.com", "", false, false},
        {"\u00a0http://a.example/", "", false, false},  // not a blank to browsers
        {"ht%74p://a.example/", "", false, false},
        {"h ttp://a.example/", "", false, false},
        {"1http://a.example/", "", false, false},
        {"svn+ssh://host/repo", "svn+ssh", false, false},
        {"http", "", false, false},
        {"", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(UrlScheme(c.url), c.scheme);
        EXPECT_EQ(OpensWithoutAsking(c.url), c.withoutAsking);
        EXPECT_EQ(IsLinkableAddress(c.url), c.linkable);
    }
}

}  // namespace
}  // namespace brim::core
