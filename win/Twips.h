#pragma once
// The forms are laid out in twips (1/1440 inch). On screen they become pixels
// of the window's own DPI, so that a form keeps its size in inches on every
// monitor; both ways round to the nearest, half away from zero, as MulDiv does.

#include <cstdint>

#include "app/FormTable.h"

namespace brim::win {

inline constexpr int kTwipsPerInch = 1440;

// n * num / den, rounded to the nearest (half away from zero).
constexpr int scaleRounded(int n, int num, int den) {
    if (den == 0) return 0;
    const std::int64_t p = static_cast<std::int64_t>(n) * num;
    const std::int64_t half = den / 2;
    return static_cast<int>(p >= 0 ? (p + half) / den : (p - half) / den);
}

constexpr int twipsToPixels(int twips, int dpi) {
    return scaleRounded(twips, dpi, kTwipsPerInch);
}
constexpr int pixelsToTwips(int pixels, int dpi) {
    return scaleRounded(pixels, kTwipsPerInch, dpi);
}

// A control's place on its form, in twips: left, top, width, height.
using TwipsRect = app::Rect;

}  // namespace brim::win
