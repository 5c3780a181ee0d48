#include "core/Settings.h"

#include "core/Numbers.h"

namespace brim::core::settings {

std::int32_t WindowModeFromSetting(std::string_view text) {
    std::int32_t m = RoundToInt(LeadingNumber(text) + 2);
    if (m > 2) m -= 3;
    return m;
}

std::string WindowModeSetting(std::int32_t mode) {
    return FormatNumber(std::int64_t{mode} + 1);
}

std::int32_t NextWindowMode(std::int32_t mode) {
    std::int32_t m = mode + 1;
    if (m > 2) m -= 3;
    return m;
}

std::optional<int> CheckBoxFromSetting(std::string_view text) {
    const std::int32_t n = RoundToInt(LeadingNumber(text)) - 10;
    // Above 2 is no check-box value at all: ignored like a missing key.
    if (n < 0 || n > 2) return std::nullopt;
    return n;
}

std::string CheckBoxSetting(int value) {
    return FormatNumber(value + 10);
}

std::int32_t WholeNumberFromSetting(std::string_view text) {
    return RoundToInt(LeadingNumber(text));
}

}  // namespace brim::core::settings
