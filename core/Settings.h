#pragma once
// The settings file's keys and the rules by which their values are read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brim::core::settings {

inline constexpr std::string_view kPosition = "Wposition";
inline constexpr std::string_view kX = "x";
inline constexpr std::string_view kY = "y";
inline constexpr std::string_view kMode = "mmode";
inline constexpr std::string_view kModeValue = "value";
// Switches stored as a check box's value (" 11" on, " 10" off): the search as
// the user types, and the cache of the rows on disk for the window.
inline constexpr std::string_view kTypeSearch = "typesearch";
inline constexpr std::string_view kRowCache = "rowcache";
inline constexpr std::string_view kSwitchValue = "value";
// The link check's choice: only the favorites unchecked for a number of days
// (a check box's value), and that number as typed.
inline constexpr std::string_view kLinkCheck = "linkcheck";
inline constexpr std::string_view kUncheckedOnly = "check1";
inline constexpr std::string_view kUncheckedDays = "days";

// The window modes: the compact strip, the list layout, the full layout.
enum WinModeValue : std::int32_t { kCompact = 0, kListLayout = 1, kFullLayout = 2 };

// The mode stored as mode + 1: 1, 2, 3 give 0, 1, 2; nothing stored gives the
// full layout. A stored value past 3 gives a mode no layout exists for.
std::int32_t WindowModeFromSetting(std::string_view text);

// The text stored for a mode: " 1", " 2" or " 3".
std::string WindowModeSetting(std::int32_t mode);

// The mode after `mode` in the cycle compact → list → full → compact.
std::int32_t NextWindowMode(std::int32_t mode);

// A check box stored as its value + 10: the value (0 off, 1 on, 2 grayed), or
// nullopt when nothing valid is stored and the box keeps the form's starting value.
std::optional<int> CheckBoxFromSetting(std::string_view text);

// The text stored for a check box's value: " 10", " 11" or " 12".
std::string CheckBoxSetting(int value);

// A switch is on unless it is stored as off: a missing or unreadable value
// leaves it on.
inline bool SwitchFromSetting(std::string_view text) {
    return CheckBoxFromSetting(text) != 0;
}

// A whole number stored as text (leading numeral, rounded).
std::int32_t WholeNumberFromSetting(std::string_view text);

}  // namespace brim::core::settings
