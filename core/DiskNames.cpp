#include "core/DiskNames.h"

#include "core/Paths.h"
#include "platform/NativePaths.h"
#include "text/Utf8.h"

namespace brim::core {
namespace {

// The simple upper-case partner of `c` in the scripts the code page holds
// letters of; `c` itself when it has none there.
char32_t upperForNames(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // à … þ
    if (c == 0xFF) return 0x178;                               // ÿ
    if (c == 0x3C2) return 0x3A3;                              // final sigma
    if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;             // α … ω
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;             // а … я
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;             // ѐ … џ
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;           // ａ … ｚ
    return c;
}

}  // namespace

ShownName ShowName(std::string_view disk, const platform::CodePage& cp) {
    if (utf8::isValid(disk)) return {std::string(disk), NameForm::Utf8};
    if (cp.isValid(disk)) return {cp.decode(disk), NameForm::CodePage};
    std::string text;
    for (std::size_t pos = 0; pos < disk.size();)
        utf8::append(text, utf8::next(disk, pos));
    return {std::move(text), NameForm::Undecodable};
}

std::string ShownFileName(std::string_view path, const platform::CodePage& cp) {
    const std::size_t slash = platform::NativePaths::native().lastSeparator(path);
    return ShowName(slash == std::string_view::npos ? path : path.substr(slash + 1), cp).text;
}

bool isSystemFileName(std::string_view name) {
    const std::string folded = FoldNameCase(name);
    return folded == "DESKTOP.INI" || folded == "THUMBS.DB";
}

std::string FoldNameCase(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t start = pos;
        const char32_t c = utf8::next(name, pos);
        const char32_t upper = upperForNames(c);
        // A malformed byte decodes as U+FFFD, which has no partner: kept as it is.
        if (upper == c) {
            out.append(name.substr(start, pos - start));
        } else {
            utf8::append(out, upper);
        }
    }
    return out;
}

bool sameNameUpToCase(std::string_view a, std::string_view b) {
    return FoldNameCase(a) == FoldNameCase(b);
}

std::optional<std::string> FindEntry(platform::FileSystem& fs, const platform::CodePage& cp,
                                     const std::string& folder, std::string_view name) {
    const auto entries = fs.listFolder(folder);
    if (!entries) return std::nullopt;
    // The best kind of match wins; within a kind, the first listed.
    const platform::DirEntry* match = nullptr;
    int best = 3;
    const std::string folded = FoldNameCase(name);
    for (const auto& e : *entries) {
        if (e.name == name) return e.name;
        if (best == 1) continue;
        const std::string shown = ShowName(e.name, cp).text;
        const int kind = shown == name ? 1 : FoldNameCase(shown) == folded ? 2 : 3;
        if (kind < best) {
            best = kind;
            match = &e;
        }
    }
    if (!match) return std::nullopt;
    return match->name;
}

std::string LocateOnDisk(platform::FileSystem& fs, const platform::CodePage& cp,
                         std::string_view favoritesRoot, std::string_view p) {
    const auto paths = platform::NativePaths::native();
    const char sep = paths.separator();
    const std::string full = FullPath(favoritesRoot, p, paths);
    // Most paths name their file exactly; only a miss lists folders. Windows
    // finds a name in any case, so there a hit says nothing of its spelling.
    if (paths.style() == platform::PathStyle::Posix && fs.attributes(full)) return full;
    // The Favorites folder is taken as it is; any other absolute path is
    // looked up from its root.
    std::size_t pos = paths.rootLength(full);
    if (full.size() >= favoritesRoot.size() && full.starts_with(favoritesRoot) &&
        !favoritesRoot.empty() && paths.isSeparator(favoritesRoot.back())) {
        pos = favoritesRoot.size();
    }
    std::string out = full.substr(0, pos);
    bool found = true;  // false once a segment is missing: nothing below it exists
    while (pos < full.size()) {
        std::size_t end = full.find(sep, pos);
        if (end == std::string::npos) end = full.size();
        const std::string_view segment = std::string_view(full).substr(pos, end - pos);
        std::string spelled(segment);
        if (found) {
            const auto entry = FindEntry(fs, cp, out, segment);
            found = entry.has_value();
            if (found) spelled = *entry;
        }
        out += spelled;
        if (end < full.size()) out += sep;
        pos = end + 1;
    }
    return out;
}

}  // namespace brim::core
