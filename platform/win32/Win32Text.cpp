#include "platform/win32/Win32Text.h"

#include <windows.h>

#include "platform/NativePaths.h"
#include "platform/SystemError.h"

namespace brim::platform::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring longPath(std::string_view path) {
    std::wstring w = widen(path);
    if (w.rfind(L"\\\\?\\", 0) == 0) return w;
    const NativePaths paths(PathStyle::Windows);
    const std::size_t root = widen(path.substr(0, paths.rootLength(path))).size();
    // A "\\?\" path is taken literally, so "/" and doubled separators
    // (from a folder joined with a name that starts with one) are mended here.
    std::wstring out;
    out.reserve(w.size() + 8);
    for (std::size_t i = 0; i < w.size(); ++i) {
        const wchar_t c = w[i] == L'/' ? L'\\' : w[i];
        if (c == L'\\' && i >= root && !out.empty() && out.back() == L'\\') continue;
        out.push_back(c);
    }
    if (root == 3) return L"\\\\?\\" + out;
    if (root > 0) return L"\\\\?\\UNC\\" + out.substr(2);
    return out;
}

std::string errorText(unsigned long code) {
    return systemErrorText(static_cast<int>(code));
}

}  // namespace brim::platform::win32
