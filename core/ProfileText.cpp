#include "core/ProfileText.h"

namespace brim::core {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// True when reading would take a pair of quotation marks off the value.
bool isQuoted(std::string_view trimmed) {
    return trimmed.size() >= 2 && isQuote(trimmed.front()) && trimmed.back() == trimmed.front();
}

// No code page leads a double-byte character with an ASCII byte, so the
// code page is asked only of the others.
bool isLeadByte(unsigned char c, const platform::CodePage& cp) {
    return c >= 0x80 && cp.isLeadByte(c);
}

// Compares names character by character: single-byte ASCII letters without
// regard to case, both bytes of a double-byte character exactly (its trail
// byte may look like an ASCII letter).
bool sameName(std::string_view a, std::string_view b, const platform::CodePage& cp) {
    if (a.size() != b.size()) return false;
    const auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (isLeadByte(ca, cp) && i + 1 < a.size()) {
            if (ca != cb || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (upper(ca) != upper(cb)) {
            return false;
        }
    }
    return true;
}

// Position of the first "]" that is a character of its own, not a trail byte.
std::size_t findClosingBracket(std::string_view s, const platform::CodePage& cp) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ']') return i;
        if (isLeadByte(static_cast<unsigned char>(s[i]), cp)) ++i;
    }
    return std::string_view::npos;
}

struct Line {
    std::size_t start = 0;       // first byte
    std::size_t contentEnd = 0;  // where the line break starts
    std::size_t end = 0;         // past the line break
};

class Lines {
  public:
    // A UTF-8 byte order mark before the first line is no part of it.
    explicit Lines(std::string_view text)
        : text_(text), pos_(text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0) {}
    bool next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line.start = pos_;
        std::size_t i = pos_;
        while (i < text_.size() && text_[i] != '\n' && text_[i] != '\r')
            ++i;
        line.contentEnd = i;
        if (i < text_.size()) {
            i += (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ? 2 : 1;
        }
        line.end = pos_ = i;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Where a key is, or where it would go.
struct Location {
    bool sectionFound = false;
    Line lastFilled;  // the section's last non-blank line (its header at least)
    bool keyFound = false;
    std::size_t valueStart = 0;  // just past "="
    std::size_t valueEnd = 0;    // the end of the line's content
};

Location locate(std::string_view text, std::string_view section, std::string_view key,
                const platform::CodePage& cp) {
    Location loc;
    Lines lines(text);
    Line line;
    while (lines.next(line)) {
        const std::string_view content =
            trim(text.substr(line.start, line.contentEnd - line.start));
        if (!content.empty() && content.front() == '[') {
            const std::string_view inner = content.substr(1);
            const std::size_t close = findClosingBracket(inner, cp);
            // A header without "]" names no section; its line is skipped.
            if (close == std::string_view::npos) continue;
            // The first section of the name is the only one looked in.
            if (loc.sectionFound) return loc;
            if (sameName(trim(inner.substr(0, close)), section, cp)) {
                loc.sectionFound = true;
                loc.lastFilled = line;
            }
            continue;
        }
        if (!loc.sectionFound) continue;
        if (content.empty()) continue;
        loc.lastFilled = line;
        if (content.front() == ';') continue;
        const std::size_t eq = content.find('=');
        if (eq == std::string_view::npos) continue;
        if (!sameName(trim(content.substr(0, eq)), key, cp)) continue;
        const std::size_t raw = text.find('=', line.start);
        loc.keyFound = true;
        loc.valueStart = raw + 1;
        loc.valueEnd = line.contentEnd;
        return loc;
    }
    return loc;
}

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key,
                                                 const platform::CodePage& cp) {
    const Location loc = locate(text, section, key, cp);
    if (!loc.keyFound) return std::nullopt;
    std::string_view value = text.substr(loc.valueStart, loc.valueEnd - loc.valueStart);
    if (const auto nul = value.find('\0'); nul != std::string_view::npos) {
        value = value.substr(0, nul);
    }
    value = trim(value);
    // As Windows reads it: one pair of matching marks around the value goes.
    if (isQuoted(value)) value = value.substr(1, value.size() - 2);
    return value;
}

std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view plainValue, const platform::CodePage& cp) {
    // A value that reading would strip of its marks gets one more pair, so it
    // reads back as it was given, here and on Windows.
    std::string quoted;
    if (isQuoted(trim(plainValue))) quoted.append("\"").append(plainValue).append("\"");
    const std::string_view value = quoted.empty() ? plainValue : std::string_view(quoted);
    const Location loc = locate(text, section, key, cp);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (loc.keyFound) {
        out.append(text.substr(0, loc.valueStart));
        out.append(value);
        out.append(text.substr(loc.valueEnd));
    } else if (loc.sectionFound) {
        const Line& after = loc.lastFilled;
        out.append(text.substr(0, after.end));
        if (after.end == after.contentEnd) out.append(kCrLf);  // the file's last line had no break
        out.append(key).append("=").append(value).append(kCrLf);
        out.append(text.substr(after.end));
    } else {
        out.append(text);
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') out.append(kCrLf);
        out.append("[").append(section).append("]").append(kCrLf);
        out.append(key).append("=").append(value).append(kCrLf);
    }
    return out;
}

}  // namespace brim::core
