#pragma once
// The system's own path rules: which characters separate folders, which paths
// are absolute and where their root ends. The core's "\" notation for labels
// is its own; these rules decide what the file system is given.
//
// Both rule sets are plain string code, so either can be exercised on any
// system; `native()` is the one the program was built for.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace brim::platform {

enum class PathStyle { Posix, Windows };

class NativePaths {
  public:
    constexpr explicit NativePaths(PathStyle style) : style_(style) {}

    static constexpr NativePaths native() {
#ifdef _WIN32
        return NativePaths(PathStyle::Windows);
#else
        return NativePaths(PathStyle::Posix);
#endif
    }

    constexpr PathStyle style() const {
        return style_;
    }

    // The separator this system's paths are written with.
    constexpr char separator() const {
        return style_ == PathStyle::Windows ? '\\' : '/';
    }

    // "/" on POSIX, where "\" is an ordinary character of a name; both "\"
    // and "/" on Windows.
    constexpr bool isSeparator(char c) const {
        return c == '/' || (style_ == PathStyle::Windows && c == '\\');
    }

    // Length of the root an absolute path starts with, separator included:
    // "/" on POSIX; "C:\" (or "C:/") and "\\server\share\" on Windows. 0 for a
    // relative path. A Windows path that starts with a single "\" is relative
    // here: it is how the program writes paths below the Favorites root.
    constexpr std::size_t rootLength(std::string_view p) const {
        if (style_ == PathStyle::Posix) return !p.empty() && p.front() == '/' ? 1 : 0;
        if (p.size() >= 3 && isDriveLetter(p[0]) && p[1] == ':' && isSeparator(p[2])) return 3;
        if (p.size() >= 3 && isSeparator(p[0]) && isSeparator(p[1]) && !isSeparator(p[2])) {
            // "\\server\share\"; "\\?\C:\" is read the same way and ends after "C:\".
            const std::size_t server = nextSeparator(p, 2);
            if (server + 1 >= p.size()) return p.size();
            const std::size_t share = nextSeparator(p, server + 1);
            return share >= p.size() ? p.size() : share + 1;
        }
        return 0;
    }

    constexpr bool isAbsolute(std::string_view p) const {
        return rootLength(p) > 0;
    }

    // Position of the last separator, npos when there is none.
    constexpr std::size_t lastSeparator(std::string_view p) const {
        for (std::size_t i = p.size(); i > 0; --i) {
            if (isSeparator(p[i - 1])) return i - 1;
        }
        return std::string_view::npos;
    }

    // `path` without one trailing separator, unless that separator ends its root.
    std::string withoutTrailingSeparator(std::string path) const {
        if (path.size() > std::max<std::size_t>(rootLength(path), 1) && isSeparator(path.back()))
            path.pop_back();
        return path;
    }

  private:
    static constexpr bool isDriveLetter(char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }

    constexpr std::size_t nextSeparator(std::string_view p, std::size_t from) const {
        while (from < p.size() && !isSeparator(p[from]))
            ++from;
        return from;
    }

    PathStyle style_;
};

// The separator of the system the program was built for.
inline constexpr char kNativeSeparator = NativePaths::native().separator();

}  // namespace brim::platform
