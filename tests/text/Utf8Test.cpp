#include <gtest/gtest.h>

#include "text/Utf8.h"

namespace brim {
namespace {

TEST(Utf8, DecodesAndRejectsMalformedSequences) {
    const struct {
        std::string text;
        bool valid;
        std::size_t length;
    } cases[] = {
        {"abc", true, 3},           {"日本語", true, 3},    {"\xF0\x9F\x98\x80", true, 1},
        {"\xEF\xBF\xBD", true, 1},  {"\xE6\x97", false, 2},  // cut short
        {"\xC0\xAF", false, 2},                              // overlong "/"
        {"\xED\xA0\x80", false, 3},                          // a surrogate
        {"\xFF", false, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8::isValid(c.text), c.valid) << c.text;
        EXPECT_EQ(utf8::length(c.text), c.length) << c.text;
    }
}

TEST(Utf8, AppendRoundTrips) {
    for (const char32_t c : {U'a', U'é', U'日', U'\U0001F600'}) {
        std::string s;
        utf8::append(s, c);
        std::size_t pos = 0;
        EXPECT_EQ(utf8::next(s, pos), c);
        EXPECT_EQ(pos, s.size());
    }
    EXPECT_EQ(utf8::offsetOf("日本a", 2), 6u);
    EXPECT_EQ(utf8::offsetOf("日本a", 9), 7u);
}

TEST(Utf8, ControlsAreC0DelAndC1) {
    const struct {
        char32_t c;
        bool control;
    } cases[] = {
        {0x00, true}, {0x09, true}, {0x1F, true}, {0x20, false}, {'~', false},    {0x7F, true},
        {0x80, true}, {0x85, true}, {0x9F, true}, {0xA0, false}, {0x2028, false}, {0xFFFD, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8::isControl(c.c), c.control) << static_cast<unsigned>(c.c);
}

// One way for every message, table and question: the character's code for a
// control, the byte's value for what is not UTF-8.
TEST(Utf8, VisibleShowsEveryControlCharacterAsAnEscape) {
    const struct {
        std::string in, shown;
    } cases[] = {
        {"plain \\A\\B\\ ニュース", "plain \\A\\B\\ ニュース"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {"a\nb\rc\td", "a\\x0ab\\x0dc\\x09d"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"del\x7f", "del\\x7f"},
        {"csi\xc2\x9b"
         "2J",
         "csi\\x9b2J"},  // U+009B, the one-character CSI
        {"nel\xc2\x85", "nel\\x85"},
        {"raw\x9b"
         "2J",
         "raw\\x9b2J"},  // a lone byte, not UTF-8
        {"cut\xe3\x81", "cut\\xe3\\x81"},
        {"\xef\xbf\xbd", "\xef\xbf\xbd"},  // U+FFFD itself stays
        {"\xc2\xa0nbsp", "\xc2\xa0nbsp"},  // U+00A0 is printable
        {"javascript:a\nb\x1b[2J\x7f", "javascript:a\\x0ab\\x1b[2J\\x7f"},
        {"x\u009by\u0085", "x\\x9by\\x85"},
        {"日本語 http://a/", "日本語 http://a/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8::visible(c.in), c.shown) << testing::PrintToString(c.in);
        for (const char ch : utf8::visible(c.in)) {
            const auto u = static_cast<unsigned char>(ch);
            EXPECT_FALSE(u < 0x20 || u == 0x7f) << testing::PrintToString(c.in);
        }
        EXPECT_TRUE(utf8::isValid(utf8::visible(c.in))) << testing::PrintToString(c.in);
    }
}

}  // namespace
}  // namespace brim
