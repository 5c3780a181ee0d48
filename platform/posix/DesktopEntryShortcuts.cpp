#include "platform/posix/DesktopEntryShortcuts.h"

#include <sys/stat.h>

namespace brim::platform {
namespace {

// An Exec argument, quoted as the desktop entry rules ask: inside double
// quotes, with ", `, $ and \ escaped by a backslash.
std::string execArgument(const std::string& arg) {
    std::string out = "\"";
    for (const char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    // The value itself is a string, whose own escapes double the backslashes.
    std::string value;
    for (const char c : out) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

}  // namespace

std::string desktopEntryText(const std::string& programFolder) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Brimmark\n"
           "Comment=Keeps order in your browser favorites\n"
           "Comment[ja]=お気に入りを整理する\n"
           "Exec=" +
           execArgument(programFolder + "brimmark") +
           " %f\n"
           "Icon=bookmarks\n"
           "MimeType=application/x-mswinurl;\n"
           "Terminal=false\n"
           "Categories=Network;Utility;\n";
}

IoResult DesktopEntryShortcuts::create(const std::string& folder) {
    const std::string path = folder + "Brimmark.desktop";
    if (const auto r = fs_.replaceFile(path, desktopEntryText(programFolder_)); !r) return r;
    // Desktops start an entry on the Desktop only when it is executable.
    ::chmod(path.c_str(), 0755);
    return {};
}

}  // namespace brim::platform
