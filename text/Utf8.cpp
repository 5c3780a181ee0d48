#include "text/Utf8.h"

namespace brim::utf8 {

char32_t next(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    std::size_t extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, c = b0 & 0x07, min = 0x10000;
    } else {
        ++pos;
        return kInvalid;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return kInvalid;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        const unsigned char b = byte(pos + i);
        if (!isTrail(b)) {
            ++pos;
            return kInvalid;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kInvalid;
    }
    pos += extra + 1;
    return c;
}

std::size_t encode(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

void append(std::string& out, char32_t c) {
    char bytes[4];
    out.append(bytes, encode(c, bytes));
}

bool isValid(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (static_cast<unsigned char>(s[pos]) < 0x80) {  // ASCII, without a call
            ++pos;
            continue;
        }
        const std::size_t at = pos;
        if (next(s, pos) == kInvalid) {
            // U+FFFD itself is valid text; only a malformed sequence is not.
            if (s.substr(at, 3) != "\xEF\xBF\xBD") return false;
        }
    }
    return true;
}

std::size_t length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < s.size(); ++n)
        next(s, pos);
    return n;
}

std::size_t offsetOf(std::string_view s, std::size_t index) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < index && pos < s.size(); ++i)
        next(s, pos);
    return pos;
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::string visible(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    const auto appendHex = [](std::string& out, unsigned value) {
        out += "\\x";
        out += kHex[(value >> 4) & 15];
        out += kHex[value & 15];
    };
    std::string out;
    out.reserve(s.size());
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t at = pos;
        const char32_t c = next(s, pos);
        const std::string_view bytes = s.substr(at, pos - at);
        if (c == kInvalid && bytes != "\xEF\xBF\xBD") {
            appendHex(out, static_cast<unsigned char>(s[at]));
        } else if (isControl(c)) {
            appendHex(out, static_cast<unsigned>(c));
        } else {
            out += bytes;
        }
    }
    return out;
}

}  // namespace brim::utf8
