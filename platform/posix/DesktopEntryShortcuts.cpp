#include "platform/posix/DesktopEntryShortcuts.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/PosixIo.h"
#include "text/Utf8.h"

namespace brim::platform {
namespace {

constexpr const char* kProgram = "brimmark";

bool holdsControl(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        if (utf8::isControl(utf8::next(s, pos))) return true;
    }
    return false;
}

// Makes `folder` and the folders above it that are missing, each with mode
// 0700; folders that exist keep their modes.
IoResult makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        struct stat st {};
        if (::stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return {IoError::NotAFile, ENOTDIR};
            continue;
        }
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return ioFailure(errno);
    }
    return {};
}

}  // namespace

std::string execArgument(const std::string& arg) {
    std::string quoted = "\"";
    for (const char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        // A lone % would start a field code.
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    // The value itself is a string, whose own escapes double the backslashes.
    std::string value;
    for (const char c : quoted) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

std::optional<std::string> desktopEntryText(const std::string& programFolder) {
    const std::string program = programFolder + kProgram;
    if (!utf8::isValid(program) || holdsControl(program)) return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Brimmark\n"
           "Comment=Keeps order in your browser favorites\n"
           "Comment[ja]=お気に入りを整理する\n"
           "Exec=" +
           execArgument(program) +
           " %f\n"
           "Icon=brimmark\n"
           "MimeType=application/x-mswinurl;\n"
           "Terminal=false\n"
           "Categories=Utility;\n";
}

std::string DesktopEntryShortcuts::refusal() const {
    if (desktopEntryText(programFolder_)) return {};
    return "the program's path holds characters a desktop entry cannot hold: " + programFolder_ +
           kProgram;
}

IoResult DesktopEntryShortcuts::create(const std::string& folder) {
    const auto text = desktopEntryText(programFolder_);
    if (!text) return {IoError::Other, EINVAL};
    if (const auto r = makeFolders(folder); !r) return r;
    const std::string path = folder + "Brimmark.desktop";
    if (const auto r = fs_.replaceFile(path, *text); !r) return r;
    // Desktops start an entry on the Desktop only when it is executable.
    ::chmod(path.c_str(), 0755);
    return {};
}

}  // namespace brim::platform
