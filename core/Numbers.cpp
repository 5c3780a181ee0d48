#include "core/Numbers.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace brim::core {

std::string FormatNumber(std::int64_t n) {
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

std::string CountCaption(std::string_view prefix, std::int64_t n) {
    return std::string(prefix) + FormatNumber(n);
}

std::int64_t SecondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') sign = -1;
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
            value += (text[i] - '0') * scale;
        }
    }
    return sign * value;
}

std::int32_t RoundToInt(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);  // the default rounding mode: half to even
    return static_cast<std::int32_t>(r < lo ? lo : (r > hi ? hi : r));
}

}  // namespace brim::core
