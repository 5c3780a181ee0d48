#include "core/ProfileEncoding.h"

#include <cstdint>
#include <cstring>

#include "text/Utf8.h"

namespace brim::core {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Where the first byte outside ASCII lies, npos when there is none; eight
// bytes at a time, as nearly all of a shortcut is ASCII.
std::size_t firstNonAscii(std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, sizeof word);
        if (word & 0x8080808080808080u) break;
    }
    for (; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80) return i;
    }
    return std::string_view::npos;
}

// The three-byte form of a lone surrogate at `pos`, as utf16LeToUtf8 writes it.
bool isSurrogateForm(std::string_view s, std::size_t pos) {
    if (pos + 2 >= s.size()) return false;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    return b(0) == 0xED && b(1) >= 0xA0 && b(1) <= 0xBF && utf8::isTrail(b(2));
}

class Utf8CodePage final : public platform::CodePage {
  public:
    std::string decode(std::string_view bytes) const override {
        if (utf8::isValid(bytes)) return std::string(bytes);
        std::string out;
        out.reserve(bytes.size());
        for (std::size_t pos = 0; pos < bytes.size();) {
            if (isSurrogateForm(bytes, pos)) {
                utf8::append(out, utf8::kInvalid);
                pos += 3;
                continue;
            }
            utf8::append(out, utf8::next(bytes, pos));
        }
        return out;
    }
    std::optional<std::string> encode(std::string_view text) const override {
        // The program's text is UTF-8 already; anything else is refused rather
        // than written as it is.
        if (!utf8::isValid(text)) return std::nullopt;
        return std::string(text);
    }
    bool isValid(std::string_view bytes) const override { return utf8::isValid(bytes); }
    bool isLeadByte(unsigned char) const override { return false; }
    std::string name() const override { return "UTF-8"; }
};

}  // namespace

FileEncoding detectEncoding(std::string_view bytes, const platform::CodePage& cp) {
    if (bytes.substr(0, 2) == kUtf16LeMark) return FileEncoding::Utf16Le;
    if (bytes.substr(0, 3) == kUtf8Mark) return FileEncoding::Utf8Bom;
    // Plain ASCII reads the same either way; the code page is then kept. What
    // comes before the first other byte is ASCII, and so valid UTF-8 as well.
    const std::size_t other = firstNonAscii(bytes);
    if (other == std::string_view::npos || !utf8::isValid(bytes.substr(other)) ||
        cp.isValid(bytes)) {
        return FileEncoding::CodePage;
    }
    return FileEncoding::Utf8;
}

const platform::CodePage& utf8CodePage() {
    static const Utf8CodePage cp;
    return cp;
}

ProfileBytes openProfileBytes(std::string_view bytes, bool existing, const platform::CodePage& cp) {
    ProfileBytes file;
    file.encoding = existing ? detectEncoding(bytes, cp) : FileEncoding::CodePage;
    if (file.encoding != FileEncoding::Utf16Le) {
        file.text = bytes;
        return file;
    }
    std::string_view units = bytes.substr(kUtf16LeMark.size());
    if (units.size() % 2 != 0) {
        file.trailing = units.substr(units.size() - 1);
        units.remove_suffix(1);
    }
    file.text = utf16LeToUtf8(units);
    return file;
}

std::optional<std::string> closeProfileBytes(const ProfileBytes& file) {
    if (file.encoding != FileEncoding::Utf16Le) return file.text;
    auto units = utf8ToUtf16Le(file.text);
    if (!units) return std::nullopt;
    return std::string(kUtf16LeMark) + *units + file.trailing;
}

const platform::CodePage& scanCodePage(const ProfileBytes& file, const platform::CodePage& cp) {
    return file.encoding == FileEncoding::CodePage ? cp : utf8CodePage();
}

std::string encodingName(FileEncoding encoding, const platform::CodePage& cp) {
    switch (encoding) {
        case FileEncoding::CodePage:
            break;
        case FileEncoding::Utf8:
            return "UTF-8";
        case FileEncoding::Utf8Bom:
            return "UTF-8 (with byte order mark)";
        case FileEncoding::Utf16Le:
            return "UTF-16LE";
    }
    return cp.name();
}

std::string utf16LeToUtf8(std::string_view units) {
    std::string out;
    out.reserve(units.size() * 3 / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(units[i]) |
                                     (static_cast<unsigned char>(units[i + 1]) << 8));
    };
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < units.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                utf8::append(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        // A lone surrogate gets the three bytes of its value, which no valid
        // UTF-8 holds, so the way back finds it again.
        utf8::append(out, c);
    }
    return out;
}

std::optional<std::string> utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    for (std::size_t pos = 0; pos < text.size();) {
        if (isSurrogateForm(text, pos)) {
            const auto b = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
            put((char32_t{0x0D} << 12) | (char32_t{b(1) & 0x3Fu} << 6) | (b(2) & 0x3Fu));
            pos += 3;
            continue;
        }
        const std::size_t at = pos;
        const char32_t c = utf8::next(text, pos);
        // A real U+FFFD in the text is three bytes; a malformed byte is one.
        if (c == utf8::kInvalid && pos - at != 3) return std::nullopt;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

}  // namespace brim::core
