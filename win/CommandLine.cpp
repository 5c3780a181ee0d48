#include "win/CommandLine.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>

#include "win/Controls.h"

namespace brim::win {

std::string argumentOf(std::wstring_view commandLine) {
    const std::wstring line(commandLine);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
    if (!argv) return {};
    std::wstring joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += L' ';
        joined += argv[i];
    }
    LocalFree(argv);
    return utf8(joined);
}

}  // namespace brim::win
