#include "core/ProfileText.h"

#include <algorithm>
#include <array>
#include <cstring>

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
        std::size_t i = lineEnd(pos_);
        line.contentEnd = i;
        if (i < text_.size()) {
            i += (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ? 2 : 1;
        }
        line.end = pos_ = i;
        return true;
    }

  private:
    // The first CR or LF from `from` (inside the text), or the text's end.
    std::size_t lineEnd(std::size_t from) const {
        const char* data = text_.data();
        const void* lf = std::memchr(data + from, '\n', text_.size() - from);
        const std::size_t to = lf ? std::size_t(static_cast<const char*>(lf) - data) : text_.size();
        const void* cr = to > from ? std::memchr(data + from, '\r', to - from) : nullptr;
        return cr ? std::size_t(static_cast<const char*>(cr) - data) : to;
    }

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

struct Wanted {
    std::string_view section, key;
    Location loc;
    bool done = false;
};

// Locates every wanted key in one pass over the lines, each as if it were
// looked for alone.
void locateAll(std::string_view text, std::span<Wanted> wanted, const platform::CodePage& cp) {
    std::size_t open = wanted.size();
    const auto finish = [&](Wanted& w) {
        w.done = true;
        --open;
    };
    Lines lines(text);
    Line line;
    while (open > 0 && lines.next(line)) {
        const std::string_view content =
            trim(text.substr(line.start, line.contentEnd - line.start));
        if (content.empty()) continue;
        if (content.front() == '[') {
            const std::string_view inner = content.substr(1);
            const std::size_t close = findClosingBracket(inner, cp);
            // A header without "]" names no section; its line is skipped.
            if (close == std::string_view::npos) continue;
            const std::string_view name = trim(inner.substr(0, close));
            for (Wanted& w : wanted) {
                if (w.done) continue;
                // The first section of the name is the only one looked in.
                if (w.loc.sectionFound) {
                    finish(w);
                } else if (sameName(name, w.section, cp)) {
                    w.loc.sectionFound = true;
                    w.loc.lastFilled = line;
                }
            }
            continue;
        }
        const std::size_t eq = content.front() == ';' ? std::string_view::npos : content.find('=');
        const std::string_view name =
            eq == std::string_view::npos ? std::string_view() : trim(content.substr(0, eq));
        for (Wanted& w : wanted) {
            if (w.done || !w.loc.sectionFound) continue;
            w.loc.lastFilled = line;
            if (eq == std::string_view::npos || !sameName(name, w.key, cp)) continue;
            w.loc.keyFound = true;
            w.loc.valueStart = text.find('=', line.start) + 1;
            w.loc.valueEnd = line.contentEnd;
            finish(w);
        }
    }
}

Location locate(std::string_view text, std::string_view section, std::string_view key,
                const platform::CodePage& cp) {
    Wanted w{section, key, {}, false};
    locateAll(text, std::span(&w, 1), cp);
    return w.loc;
}

// The value as reading gives it: up to its first NUL, trimmed, and without
// one pair of matching marks around it, as Windows reads it.
std::string_view readValue(std::string_view text, const Location& loc) {
    std::string_view value = text.substr(loc.valueStart, loc.valueEnd - loc.valueStart);
    if (const auto nul = value.find('\0'); nul != std::string_view::npos) {
        value = value.substr(0, nul);
    }
    value = trim(value);
    if (isQuoted(value)) value = value.substr(1, value.size() - 2);
    return value;
}

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key,
                                                 const platform::CodePage& cp) {
    const Location loc = locate(text, section, key, cp);
    if (!loc.keyFound) return std::nullopt;
    return readValue(text, loc);
}

void findProfileValues(std::string_view text, std::span<ProfileKey> keys,
                       const platform::CodePage& cp) {
    // A few at a pass, on the stack: a file is asked for two.
    constexpr std::size_t kAtOnce = 4;
    for (std::size_t from = 0; from < keys.size(); from += kAtOnce) {
        const std::size_t n = std::min(kAtOnce, keys.size() - from);
        std::array<Wanted, kAtOnce> wanted;
        for (std::size_t i = 0; i < n; ++i)
            wanted[i] = {keys[from + i].section, keys[from + i].key, {}, false};
        locateAll(text, std::span(wanted.data(), n), cp);
        for (std::size_t i = 0; i < n; ++i) {
            keys[from + i].value = wanted[i].loc.keyFound
                                       ? std::optional(readValue(text, wanted[i].loc))
                                       : std::nullopt;
        }
    }
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
