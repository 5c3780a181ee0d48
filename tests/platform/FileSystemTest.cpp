// What every file system behind the interface shares: the listing order.

#include <gtest/gtest.h>

#include "platform/FileSystem.h"

namespace brim::platform {
namespace {

TEST(ListingOrder, AsciiUpperCaseThenBytes) {
    EXPECT_TRUE(listsBefore("A.url", "a.url"));
    EXPECT_TRUE(listsBefore("a.url", "B.url"));
    EXPECT_TRUE(listsBefore("Z", "_"));
    EXPECT_TRUE(listsBefore("ab", "abc"));
    EXPECT_FALSE(listsBefore("a", "a"));
    const struct {
        std::string_view a, b;
        bool before;
    } cases[] = {
        {"z", "_", true},                                 // "Z" comes before "_", and so does "z"
        {"_", "z", false},    {"a.url", "A.url", false},  // the same up to case: the bytes decide
        {"abc", "ab", false}, {"\xe3\x81\x82", "a", false},  // bytes past ASCII after every letter
        {"", "a", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listsBefore(c.a, c.b), c.before) << c.a << " / " << c.b;
    }
}

}  // namespace
}  // namespace brim::platform
