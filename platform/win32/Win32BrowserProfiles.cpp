#include "platform/win32/Win32BrowserProfiles.h"

#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

using win32::narrow;
using win32::widen;

std::string knownFolderPath(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string out;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK) out = narrow(path);
    CoTaskMemFree(path);
    return out;
}

std::optional<std::string> processEnv(const std::string& name) {
    const std::wstring wide = widen(name);
    const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (n <= 1) return std::nullopt;
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
    if (got == 0 || got >= n) return std::nullopt;
    value.resize(got);
    return narrow(value);
}

std::string withBackslash(std::string folder) {
    for (auto& c : folder)
        if (c == '/') c = '\\';
    while (folder.size() > 3 && folder.ends_with("\\\\"))
        folder.pop_back();
    if (!folder.ends_with('\\')) folder.push_back('\\');
    return folder;
}

// "C:\…" or "\\server\share\…"; anything else cannot be a profile's home.
bool isAbsolute(const std::string& path) {
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           path.starts_with("\\\\");
}

}  // namespace

Win32BrowserProfiles::Win32BrowserProfiles()
    : env_([](const std::string& name) -> std::optional<std::string> {
          if (auto v = processEnv(name)) return v;
          // A program started without the user's environment still finds them.
          const std::string known = name == "APPDATA" ? knownFolderPath(FOLDERID_RoamingAppData)
                                    : name == "LOCALAPPDATA"
                                        ? knownFolderPath(FOLDERID_LocalAppData)
                                        : std::string();
          if (known.empty()) return std::nullopt;
          return known;
      }) {}

std::vector<BrowserFolder> Win32BrowserProfiles::browserFolders() const {
    std::vector<BrowserFolder> out;
    if (auto roaming = env_("APPDATA"); roaming && isAbsolute(*roaming)) {
        out.push_back({BrowserKind::Firefox, withBackslash(*roaming) + "Mozilla\\Firefox\\",
                       "Mozilla Firefox"});
    }
    if (auto local = env_("LOCALAPPDATA"); local && isAbsolute(*local)) {
        const std::string base = withBackslash(*local);
        out.push_back({BrowserKind::Chromium, base + "Chromium\\User Data\\", "Chromium"});
        out.push_back(
            {BrowserKind::Chromium, base + "Google\\Chrome\\User Data\\", "Google Chrome"});
    }
    return out;
}

bool Win32BrowserProfiles::isRunning(BrowserKind kind, const std::string& profile) const {
    return isHeldOpen(withBackslash(profile) +
                      (kind == BrowserKind::Firefox ? "parent.lock" : "lockfile"));
}

bool isHeldOpen(const std::string& path) {
    // Asking to write (without writing) fails with a sharing violation only
    // while someone holds the file without sharing writes; the browsers'
    // locks are also deleted when closed, so a stale one opens or is gone.
    const HANDLE h = CreateFileW(win32::longPath(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace brim::platform
