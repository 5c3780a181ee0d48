#include "core/Paths.h"

#include <algorithm>

#include "text/Utf8.h"

namespace brim::core {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string FullPath(std::string_view favoritesRoot, std::string_view p,
                     platform::NativePaths paths) {
    std::string joined;
    if (!paths.isAbsolute(p)) joined.append(favoritesRoot);
    joined.append(p);
    const char sep = paths.separator();
    // The root keeps its separators: "\\server" must not become "\server".
    const std::size_t root = paths.rootLength(joined);
    std::string out;
    out.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const char c = joined[i];
        if (isSeparator(c) || paths.isSeparator(c)) {
            if (i >= root && !out.empty() && out.back() == sep) continue;
            out.push_back(sep);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::int32_t LastSeparatorPos(std::string_view p) {
    std::int32_t last = 0;
    std::int32_t index = 0;
    for (std::size_t pos = 0; pos < p.size();) {
        ++index;
        const char32_t c = utf8::next(p, pos);
        if (c == U'\\' || c == U'/') last = index;
    }
    return last;
}

std::pair<std::string_view, std::string_view> SplitAtLastSeparator(std::string_view p) {
    const auto split = utf8::offsetOf(p, static_cast<std::size_t>(LastSeparatorPos(p)));
    return {p.substr(0, split), p.substr(split)};
}

std::string StripExtension(std::string_view n) {
    const auto dot = n.rfind('.');
    if (dot == std::string_view::npos) return std::string(n);
    if (utf8::length(n.substr(dot + 1)) > 3) return std::string(n);
    return std::string(n.substr(0, dot));
}

std::string LongPathName(platform::FileSystem& fs, std::string_view p,
                         platform::NativePaths paths) {
    // Segments are looked up from the root on; a relative path from its first folder.
    std::size_t start = paths.rootLength(p);
    if (start == 0) {
        const std::size_t first = p.find_first_of("\\/");
        if (first == std::string_view::npos) return std::string(p);
        start = first + 1;
    }
    std::string out(p.substr(0, start));
    // The folder the next segment is looked up in, in the system's notation.
    std::string folder = FullPath({}, p.substr(0, start), paths);
    if (folder.empty() || folder.back() != paths.separator()) folder.push_back(paths.separator());
    std::size_t pos = start;
    while (pos <= p.size()) {
        std::size_t sep = p.find_first_of("\\/", pos);
        if (sep == std::string_view::npos) sep = p.size();
        const std::string_view segment = p.substr(pos, sep - pos);
        std::string spelled(segment);
        if (!segment.empty()) {
            if (const auto entries = fs.listFolder(folder)) {
                const auto exact = std::find_if(entries->begin(), entries->end(),
                                                [&](const auto& e) { return e.name == segment; });
                if (exact == entries->end()) {
                    for (const auto& e : *entries) {
                        if (sameIgnoringAsciiCase(e.name, segment)) {
                            spelled = e.name;
                            break;
                        }
                    }
                }
            }
        }
        out.append(spelled);
        folder.append(spelled).push_back(paths.separator());
        if (sep == p.size()) break;
        out.push_back(p[sep]);
        pos = sep + 1;
    }
    return out;
}

std::string FolderLabel(std::string_view favoritesRoot, std::string_view folder,
                        platform::NativePaths paths) {
    std::string label = "\\";
    if (folder.size() > favoritesRoot.size()) {
        for (const char c : folder.substr(favoritesRoot.size()))
            label.push_back(paths.isSeparator(c) ? '\\' : c);
    }
    return label;
}

bool isExpressibleName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/") == std::string_view::npos &&
           utf8::isValid(name);
}

}  // namespace brim::core
