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

}  // namespace
}  // namespace brim
