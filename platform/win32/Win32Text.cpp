#include "platform/win32/Win32Text.h"

#include <windows.h>

#include "platform/NativePaths.h"

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
    for (auto& c : w)
        if (c == L'/') c = L'\\';
    const NativePaths paths(PathStyle::Windows);
    if (w.rfind(L"\\\\?\\", 0) == 0) return w;
    if (paths.rootLength(path) == 3) return L"\\\\?\\" + w;
    if (paths.rootLength(path) > 0) return L"\\\\?\\UNC\\" + w.substr(2);
    return w;
}

std::string errorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n ? narrow(std::wstring_view(buffer, n)) : "error " + std::to_string(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace brim::platform::win32
