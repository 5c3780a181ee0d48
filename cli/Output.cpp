#include "cli/Output.h"

#include <algorithm>
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
           (c >= 0x20000 && c <= 0x3FFFD);
}

std::string printable(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s)
        out.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
    return out;
}

constexpr std::size_t kMaxColumnWidth = 40;

}  // namespace

std::string jsonString(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    out += "\\u00";
                    out += kHex[u >> 4];
                    out += kHex[u & 15];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::size_t displayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < s.size();)
        width += isWide(utf8::next(s, pos)) ? 2 : 1;
    return width;
}

void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(headers.size());
    for (std::size_t c = 0; c < headers.size(); ++c)
        widths[c] = displayWidth(headers[c]);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c + 1 < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], std::min(kMaxColumnWidth, displayWidth(row[c])));
        }
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string cell = printable(cells[c]);
            text += cell;
            if (c + 1 == cells.size()) break;
            const std::size_t w = displayWidth(cell);
            text.append((w < widths[c] ? widths[c] - w : 0) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out << text << '\n';
    };
    line(headers);
    for (const auto& row : rows)
        line(row);
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

FavoritesPrinter::FavoritesPrinter(std::ostream& out, bool json) : out_(out), json_(json) {}

void FavoritesPrinter::add(core::FavoriteItem&& row) {
    ++count_;
    if (!json_) {
        cells_.push_back({std::move(row.name), std::move(row.folder), std::move(row.comment)});
        return;
    }
    out_ << (count_ == 1 ? "[\n " : ",\n ") << "{\"name\":" << jsonString(row.name)
         << ",\"folder\":" << jsonString(row.folder) << ",\"comment\":" << jsonString(row.comment)
         << '}';
}

void FavoritesPrinter::finish() {
    if (json_) {
        out_ << (count_ == 0 ? "[]\n" : "\n]\n");
        return;
    }
    printTable(out_, {"Name", "Folder", "Comment"}, cells_);
    out_ << core::CountCaption("ファイル数:", count_) << '\n';
}

}  // namespace brim::cli
