#include "cli/Output.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <ostream>

#include "core/Numbers.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Marks drawn over the character before them, such as the voiced-sound marks
// of names written decomposed (U+3099, U+309A).
bool isZeroWidth(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x3099 && c <= 0x309A) || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF;
}

constexpr std::size_t kMaxColumnWidth = 40;

// The ASCII bytes a JSON string holds as they are.
constexpr auto kPlainByte = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7f; ++c)
        plain[c] = c != '"' && c != '\\';
    return plain;
}();

// The length of the two- or three-byte UTF-8 character at `i` when it is
// written as it is (past the C1 controls, no surrogate, not overlong); 0 for
// anything else, which the careful path decides.
std::size_t plainMultibyte(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = at(i);
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (i + 1 >= s.size() || !utf8::isTrail(at(i + 1))) return 0;
        return lead == 0xC2 && at(i + 1) <= 0x9F ? 0 : 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (i + 2 >= s.size() || !utf8::isTrail(at(i + 1)) || !utf8::isTrail(at(i + 2))) return 0;
        if (lead == 0xE0 && at(i + 1) < 0xA0) return 0;   // overlong
        if (lead == 0xED && at(i + 1) >= 0xA0) return 0;  // a surrogate
        return 3;
    }
    return 0;
}

// Appends `s` as a JSON string, as jsonText() writes it, in one pass: quote,
// backslash and C0 escaped as nlohmann escapes them, DEL and C1 as \u00XX,
// the rest of valid UTF-8 as it is.
void appendJsonString(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::size_t start = out.size();
    out += '"';
    std::size_t plain = 0;  // the start of the run not yet appended
    const auto escape = [&](std::size_t at, std::size_t length, std::string_view with) {
        out.append(s, plain, at - plain).append(with);
        plain = at + length;
    };
    const auto code = [&](std::size_t at, std::size_t length, unsigned char c) {
        const char text[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
        escape(at, length, {text, sizeof text});
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto u = static_cast<unsigned char>(s[i]);
        if (kPlainByte[u]) continue;
        if (u >= 0x80) {
            if (const std::size_t n = plainMultibyte(s, i)) {
                i += n - 1;
                continue;
            }
            std::size_t end = i;
            const char32_t c = utf8::next(s, end);
            if (c == utf8::kInvalid && s.substr(i, 3) != "\xEF\xBF\xBD") {
                // Not UTF-8: nlohmann replaces what it cannot read.
                out.resize(start);
                out += jsonText(nlohmann::ordered_json(std::string(s)));
                return;
            }
            if (c <= 0x9f) code(i, end - i, static_cast<unsigned char>(c));
            i = end - 1;
            continue;
        }
        if (u >= 0x20 && u != '"' && u != '\\' && u != 0x7f) continue;
        switch (u) {
            case '"':
                escape(i, 1, "\\\"");
                break;
            case '\\':
                escape(i, 1, "\\\\");
                break;
            case '\b':
                escape(i, 1, "\\b");
                break;
            case '\t':
                escape(i, 1, "\\t");
                break;
            case '\n':
                escape(i, 1, "\\n");
                break;
            case '\f':
                escape(i, 1, "\\f");
                break;
            case '\r':
                escape(i, 1, "\\r");
                break;
            default:
                code(i, 1, u);
        }
    }
    out.append(s, plain).append(1, '"');
}

}  // namespace

// nlohmann's text with DEL and C1 controls escaped as well; outside strings a
// JSON text holds neither, so every one of them lies in a string.
std::string jsonText(const nlohmann::ordered_json& value) {
    const std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string out;
    out.reserve(text.size());
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (u == 0x7f) {
            out += "\\u007f";
        } else if (u == 0xc2 && next >= 0x80 && next <= 0x9f) {
            out += "\\u00";
            out += kHex[next >> 4];
            out += kHex[next & 15];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string jsonString(std::string_view s) {
    std::string out;
    appendJsonString(out, s);
    return out;
}

void appendJsonObject(
    std::string& out,
    std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    // Written as nlohmann writes an ordered object on one line, without its
    // cost for every row of a long list.
    out += '{';
    bool first = true;
    for (const auto& [key, value] : members) {
        if (!first) out += ',';
        first = false;
        appendJsonString(out, key);
        out += ':';
        appendJsonString(out, value);
    }
    out += '}';
}

std::string jsonObject(
    std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    std::string out;
    appendJsonObject(out, members);
    return out;
}

std::size_t displayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < s.size();) {
        const char32_t c = utf8::next(s, pos);
        width += isZeroWidth(c) ? 0 : isWide(c) ? 2 : 1;
    }
    return width;
}

namespace {

// One line of a table: every cell but the last padded to its column's width
// and two blanks more; no blanks at the end.
void printLine(std::ostream& out, const std::vector<std::string_view>& cells,
               const std::vector<std::size_t>& widths) {
    std::string text;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        text += cells[c];
        if (c + 1 == cells.size()) break;
        const std::size_t w = displayWidth(cells[c]);
        text.append((c < widths.size() && w < widths[c] ? widths[c] - w : 0) + 2, ' ');
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    out << text << '\n';
}

// Widens `width` for a cell that is not its row's last.
void widen(std::size_t& width, std::string_view shown) {
    width = std::max(width, std::min(kMaxColumnWidth, displayWidth(shown)));
}

}  // namespace

void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(headers.size());
    for (std::size_t c = 0; c < headers.size(); ++c)
        widths[c] = displayWidth(headers[c]);
    // Widths are those of the text as shown, escapes included.
    std::vector<std::vector<std::string>> shown;
    shown.reserve(rows.size());
    for (const auto& row : rows) {
        auto& cells = shown.emplace_back();
        for (std::size_t c = 0; c < row.size(); ++c) {
            cells.push_back(utf8::visible(row[c]));
            if (c + 1 < row.size() && c < widths.size()) widen(widths[c], cells[c]);
        }
    }
    printLine(out, {headers.begin(), headers.end()}, widths);
    for (const auto& cells : shown)
        printLine(out, {cells.begin(), cells.end()}, widths);
}

void printStrings(std::ostream& out, bool json, const std::string& heading,
                  const std::vector<std::string>& items, std::string_view countPrefix) {
    if (json) {
        out << '[';
        for (std::size_t i = 0; i < items.size(); ++i) {
            out << (i ? ",\n " : "\n ") << jsonString(items[i]);
        }
        out << (items.empty() ? "]\n" : "\n]\n");
        return;
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(items.size());
    for (const auto& item : items)
        rows.push_back({item});
    printTable(out, {heading}, rows);
    if (!countPrefix.empty()) {
        out << core::CountCaption(countPrefix, static_cast<std::int64_t>(items.size())) << '\n';
    }
}

namespace {
const std::vector<std::string> kFavoritesHeaders = {"Name", "Folder", "Comment"};
}

FavoritesPrinter::FavoritesPrinter(std::ostream& out, bool json) : out_(out), json_(json) {
    for (const auto& h : kFavoritesHeaders)
        widths_.push_back(displayWidth(h));
    widths_.pop_back();  // the last column is never padded
}

void FavoritesPrinter::add(core::FavoriteItem&& row) {
    ++count_;
    if (!json_) {
        hold({utf8::visible(row.name), utf8::visible(row.folder), utf8::visible(row.comment)});
        return;
    }
    // Rows go out in pieces of some size rather than one stream write each.
    jsonPending_ += count_ == 1 ? "[\n " : ",\n ";
    appendJsonObject(jsonPending_, {{"name", row.name},
                                    {"folder", row.folder},
                                    {"comment", row.comment},
                                    {"url", row.url},
                                    {"path", row.path}});
    if (jsonPending_.size() >= kJsonPiece) flushJson();
}

void FavoritesPrinter::flushJson() {
    out_.write(jsonPending_.data(), static_cast<std::streamsize>(jsonPending_.size()));
    jsonPending_.clear();
}

void FavoritesPrinter::hold(const std::vector<std::string>& cells) {
    if (streaming_) {
        printLine(out_, {cells.begin(), cells.end()}, widths_);
        return;
    }
    for (std::size_t c = 0; c < widths_.size(); ++c)
        widen(widths_[c], cells[c]);
    // A cell shown holds no NUL: utf8::visible() writes control characters out.
    for (const auto& cell : cells)
        held_.append(cell).push_back('\0');
    // Columns at their widest cannot widen any more: the rows so far can go
    // out, and every later one as it comes.
    if (std::all_of(widths_.begin(), widths_.end(),
                    [](std::size_t w) { return w >= kMaxColumnWidth; }))
        flushHeld();
}

void FavoritesPrinter::flushHeld() {
    printLine(out_, {kFavoritesHeaders.begin(), kFavoritesHeaders.end()}, widths_);
    std::vector<std::string_view> cells;
    const std::string_view held = held_;
    for (std::size_t at = 0; at < held.size();) {
        const std::size_t end = held.find('\0', at);
        cells.push_back(held.substr(at, end - at));
        at = end + 1;
        if (cells.size() == kFavoritesHeaders.size()) {
            printLine(out_, cells, widths_);
            cells.clear();
        }
    }
    std::string().swap(held_);
    streaming_ = true;
}

void FavoritesPrinter::finish() {
    if (json_) {
        flushJson();
        out_ << (count_ == 0 ? "[]\n" : "\n]\n");
        return;
    }
    if (!streaming_) flushHeld();
    out_ << core::CountCaption("ファイル数:", count_) << '\n';
}

}  // namespace brim::cli
