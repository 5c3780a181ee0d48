#include "platform/win32/ShellLinkShortcuts.h"

#include <windows.h>
// After windows.h:
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

using win32::widen;

// COM for the calling thread, as long as the object lives; a thread that
// has it already in another mode still gets S_OK from the objects below.
class ComScope {
  public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool ok_;
};

// Releases a COM interface when it goes.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
};

IoResult failure(HRESULT hr) {
    return {IoError::Other,
            static_cast<int>(HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr)
                                                                    : static_cast<DWORD>(hr))};
}

std::wstring backslashed(std::string_view path) {
    std::wstring out = widen(path);
    for (auto& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

}  // namespace

IoResult ShellLinkShortcuts::create(const std::string& folder) {
    const std::wstring dir = backslashed(folder);
    const DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const int made = SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
            return {made == ERROR_PATH_NOT_FOUND ? IoError::NotFound : IoError::Other, made};
        }
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {IoError::NotFound, ERROR_DIRECTORY};
    }
    ComScope com;
    Released<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.p));
    if (FAILED(hr)) return failure(hr);
    const std::wstring program = backslashed(programFolder_);
    link.p->SetPath((program + L"brimmark.exe").c_str());
    link.p->SetWorkingDirectory(program.c_str());
    link.p->SetDescription(L"Brimmark");
    Released<IPersistFile> file;
    hr = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (FAILED(hr)) return failure(hr);
    const std::wstring target = dir + (dir.ends_with(L'\\') ? L"" : L"\\") + L"Brimmark.lnk";
    hr = file.p->Save(target.c_str(), TRUE);
    if (FAILED(hr)) return failure(hr);
    return {};
}

std::optional<std::string> shellLinkTarget(const std::string& link) {
    ComScope com;
    Released<IShellLinkW> shell;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell.p)))) {
        return std::nullopt;
    }
    Released<IPersistFile> file;
    if (FAILED(shell.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(backslashed(link).c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    if (shell.p->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return std::nullopt;
    return win32::narrow(path);
}

}  // namespace brim::platform
