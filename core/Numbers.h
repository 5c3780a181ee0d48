#pragma once
// Numbers as the program writes them into labels and settings and reads them back.

#include <cstdint>
#include <string>
#include <string_view>

namespace brim::core {

// A number as labels and settings show it: one blank before a number that is
// not negative, "-" before one that is (" 128", " 0", "-3").
std::string FormatNumber(std::int64_t n);

// A count caption such as "ファイル数: 128".
std::string CountCaption(std::string_view prefix, std::int64_t n);

// The leading numeral of a text, as settings are read back: blanks skipped, an
// optional sign, digits and a decimal part; 0 when there is none.
double LeadingNumber(std::string_view text);

// Seconds since 1970, now: how files and the link state count time.
std::int64_t SecondsNow();

// The nearest whole number, a half going to the even neighbour, clamped to
// the 32-bit range.
std::int32_t RoundToInt(double value);

}  // namespace brim::core
