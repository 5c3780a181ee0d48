#include "platform/win32/Win32Services.h"

#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/SettingsLocation.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

using win32::narrow;
using win32::widen;

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
    return folder;
}

// Empty when the system has no such folder for this user.
std::string knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string out;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK) {
        out = withSeparator(narrow(path));
    }
    CoTaskMemFree(path);
    return out;
}

// Empty when the system cannot say.
std::string runningProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace

Win32CodePage::Win32CodePage(unsigned int codePage) : cp_(codePage) {}

std::string Win32CodePage::decode(std::string_view bytes) const {
    if (bytes.empty()) return {};
    // Without MB_ERR_INVALID_CHARS an undefined sequence becomes U+FFFD
    // (or the code page's default character) instead of failing the whole text.
    const int n =
        MultiByteToWideChar(cp_, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp_, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return narrow(wide);
}

std::optional<std::string> Win32CodePage::encode(std::string_view utf8) const {
    if (utf8.empty()) return std::string();
    const std::wstring wide = widen(utf8);
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(cp_, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp_, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

bool Win32CodePage::isValid(std::string_view bytes) const {
    return bytes.empty() || MultiByteToWideChar(cp_, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool Win32CodePage::isLeadByte(unsigned char byte) const {
    return IsDBCSLeadByteEx(cp_, byte) != 0;
}

std::string Win32CodePage::name() const {
    return "CP" + std::to_string(cp_);
}

char32_t Win32CaseMapper::upper(char32_t c) const {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
    wchar_t in[2];
    int n = 1;
    if (c >= 0x10000) {
        in[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        in[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        n = 2;
    } else {
        in[0] = static_cast<wchar_t>(c);
    }
    wchar_t out[4] = {};
    const int got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE, in, n, out, 4, nullptr,
                                  nullptr, 0);
    // A character whose upper case is not one character keeps its own.
    if (got == 1 && n == 1) return out[0];
    if (got == 2 && n == 2 && out[0] >= 0xD800 && out[0] < 0xDC00) {
        return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) +
               (static_cast<char32_t>(out[1]) - 0xDC00);
    }
    return c;
}

Win32KnownFolders::Win32KnownFolders() : programFolder_(runningProgramFolder()) {}

Win32KnownFolders::Win32KnownFolders(std::string programFolder)
    : programFolder_(withSeparator(std::move(programFolder))) {}

std::string Win32KnownFolders::favorites() const {
    return knownFolder(FOLDERID_Favorites);
}

std::string Win32KnownFolders::desktop() const {
    return knownFolder(FOLDERID_Desktop);
}

std::string Win32KnownFolders::sendTo() const {
    return knownFolder(FOLDERID_SendTo);
}

std::string Win32KnownFolders::programs() const {
    return knownFolder(FOLDERID_Programs);
}

std::string Win32KnownFolders::settingsFile() const {
    const std::string appData = knownFolder(FOLDERID_RoamingAppData);
    return chooseSettingsFile(programFolder_, appData.empty() ? appData : appData + "Brimmark\\",
                              [](const std::string& path) {
                                  const DWORD a = GetFileAttributesW(win32::longPath(path).c_str());
                                  return a != INVALID_FILE_ATTRIBUTES &&
                                         !(a & FILE_ATTRIBUTE_DIRECTORY);
                              });
}

std::string Win32KnownFolders::cacheFolder() const {
    const std::string local = knownFolder(FOLDERID_LocalAppData);
    return local.empty() ? local : local + "Brimmark\\";
}

std::string Win32KnownFolders::stateFolder() const {
    // Windows keeps both in the local, unroamed application data.
    return cacheFolder();
}

IoResult RecycleBin::moveToTrash(const std::string& path) {
    std::wstring from = widen(path);
    for (auto& c : from)
        if (c == L'/') c = L'\\';
    if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {IoError::NotFound, static_cast<int>(GetLastError())};
    }
    from.push_back(L'\0');  // the list ends in two
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int code = SHFileOperationW(&op);
    if (code != 0) return {IoError::Other, code};
    if (op.fAnyOperationsAborted) return {IoError::Other, ERROR_CANCELLED};
    // Some shells delete nothing and still answer 0.
    if (GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return {IoError::Denied, ERROR_ACCESS_DENIED};
    }
    return {};
}

std::string ShellOpener::open(const std::string& target) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring file = widen(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    std::string why;
    if (!ShellExecuteExW(&info)) why = win32::errorText(GetLastError());
    if (SUCCEEDED(com)) CoUninitialize();
    return why;
}

}  // namespace brim::platform
