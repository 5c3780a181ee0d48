#include <gtest/gtest.h>

#include "core/Numbers.h"
#include "core/Settings.h"

namespace brim::core {
namespace {

TEST(Numbers, FormAndLeadingNumeral) {
    EXPECT_EQ(FormatNumber(128), " 128");
    EXPECT_EQ(FormatNumber(0), " 0");
    EXPECT_EQ(FormatNumber(-3), "-3");
    EXPECT_EQ(CountCaption("ファイル数:", 128), "ファイル数: 128");
    const struct {
        std::string text;
        double value;
    } cases[] = {{" 11", 11}, {"12abc", 12}, {"", 0}, {"abc", 0}, {" -3.5x", -3.5}, {"+7", 7}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(RoundToInt(2.5), 2);
    EXPECT_EQ(RoundToInt(3.5), 4);
    EXPECT_EQ(RoundToInt(-2.5), -2);
    EXPECT_EQ(RoundToInt(1e12), 2147483647);
}

TEST(Settings, WindowModeFromStoredValue) {
    const struct {
        std::string stored;
        std::int32_t mode;
    } cases[] = {{" 1", 0}, {" 2", 1}, {" 3", 2}, {"", 2}, {"junk", 2}, {" 4", 3}, {" 0", 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(settings::WindowModeFromSetting(c.stored), c.mode) << c.stored;
    }
    EXPECT_EQ(settings::WindowModeSetting(0), " 1");
    EXPECT_EQ(settings::WindowModeSetting(2), " 3");
}

TEST(Settings, ModeCycle) {
    EXPECT_EQ(settings::NextWindowMode(0), 1);
    EXPECT_EQ(settings::NextWindowMode(1), 2);
    EXPECT_EQ(settings::NextWindowMode(2), 0);
    EXPECT_EQ(settings::NextWindowMode(3), 1);  // a stored 4 moves on by the same rule
}

TEST(Settings, CheckBoxRule) {
    const struct {
        std::string stored;
        std::optional<int> value;
    } cases[] = {{" 10", 0},           {" 11", 1},           {"12", 2},
                 {"", std::nullopt},   {" 9", std::nullopt}, {" 13", std::nullopt},
                 {"abc", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(settings::CheckBoxFromSetting(c.stored), c.value) << c.stored;
    }
    EXPECT_EQ(settings::CheckBoxSetting(1), " 11");
}

}  // namespace
}  // namespace brim::core
