#include "core/Paths.h"

#include "text/Utf8.h"

namespace brim::core {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isAbsolute(std::string_view p) {
    return !p.empty() && p.front() == '/';
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

std::string FullPath(std::string_view favoritesRoot, std::string_view p) {
    std::string joined;
    if (!isAbsolute(p)) joined.append(favoritesRoot);
    joined.append(p);
    std::string out;
    out.reserve(joined.size());
    for (const char c : joined) {
        if (isSeparator(c)) {
            if (!out.empty() && out.back() == '/') continue;
            out.push_back('/');
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

std::string LongPathName(platform::FileSystem& fs, std::string_view p) {
    std::size_t first = p.find_first_of("\\/");
    if (first == std::string_view::npos) return std::string(p);
    std::string out(p.substr(0, first + 1));
    // The folder the next segment is looked up in, in the system's notation.
    std::string folder = std::string(p.substr(0, first)) + "/";
    std::size_t pos = first + 1;
    while (pos <= p.size()) {
        std::size_t sep = p.find_first_of("\\/", pos);
        if (sep == std::string_view::npos) sep = p.size();
        const std::string_view segment = p.substr(pos, sep - pos);
        std::string spelled(segment);
        if (!segment.empty() && !fs.attributes(folder + spelled)) {
            if (const auto entries = fs.listFolder(folder)) {
                for (const auto& e : *entries) {
                    if (sameIgnoringAsciiCase(e.name, segment)) {
                        spelled = e.name;
                        break;
                    }
                }
            }
        }
        out.append(spelled);
        folder.append(spelled).append("/");
        if (sep == p.size()) break;
        out.push_back(p[sep]);
        pos = sep + 1;
    }
    return out;
}

std::string FolderLabel(std::string_view favoritesRoot, std::string_view folder) {
    std::string label = "\\";
    if (folder.size() > favoritesRoot.size()) {
        for (const char c : folder.substr(favoritesRoot.size()))
            label.push_back(c == '/' ? '\\' : c);
    }
    return label;
}

bool isExpressibleName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/") == std::string_view::npos &&
           utf8::isValid(name);
}

}  // namespace brim::core
