#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/NativePaths.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {

IoResult win32Failure(unsigned long code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return {IoError::NotFound, static_cast<int>(code)};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {IoError::Denied, static_cast<int>(code)};
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return {IoError::NoSpace, static_cast<int>(code)};
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return {IoError::Exists, static_cast<int>(code)};
        default:
            return {IoError::Other, static_cast<int>(code)};
    }
}

namespace {

using win32::longPath;
using win32::narrow;

constexpr NativePaths kPaths{PathStyle::Windows};
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT;

IoResult lastFailure() {
    return win32Failure(GetLastError());
}

constexpr std::wstring_view kTempPrefix = L"~brimmark";
constexpr std::wstring_view kTempSuffix = L".tmp";

// The process that made a temporary file, from its name ("~brimmark" PID "-"
// number ".tmp"); 0 for any other name.
DWORD temporaryOwner(std::wstring_view name) {
    if (!name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) return 0;
    name = name.substr(kTempPrefix.size(), name.size() - kTempPrefix.size() - kTempSuffix.size());
    const auto dash = name.find(L'-');
    if (dash == 0 || dash == std::wstring_view::npos || dash + 1 == name.size()) return 0;
    const auto digits = [](std::wstring_view d) {
        return std::all_of(d.begin(), d.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    const std::wstring_view pid = name.substr(0, dash);
    if (pid.size() > 10 || !digits(pid) || !digits(name.substr(dash + 1))) return 0;
    const unsigned long long value = std::stoull(std::wstring(pid));
    return value <= 0xFFFFFFFFull ? static_cast<DWORD>(value) : 0;
}

bool processAlive(DWORD pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    // A process that exists but may not be looked at is alive all the same.
    if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
}

// Removes what a writer that was killed between making its temporary file
// and renaming it left in `folder`: only files of processes that are gone.
void removeStaleTemporaries(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = longPath(folder + "~brimmark*.tmp");
    HANDLE h = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return;
    const DWORD self = GetCurrentProcessId();
    do {
        const DWORD owner = temporaryOwner(found.cFileName);
        if (owner != 0 && owner != self && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !processAlive(owner)) {
            // Another cleaner may have been quicker; that is fine.
            DeleteFileW(longPath(folder + narrow(found.cFileName)).c_str());
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE h) {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = h;
    }

  private:
    HANDLE h_;
};

IoResult writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr)) return lastFailure();
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(h)) return lastFailure();
    return {};
}

std::string withSeparator(std::string folder) {
    if (folder.empty() || !kPaths.isSeparator(folder.back())) folder.push_back('\\');
    return folder;
}

// FILETIME (100 ns since 1601) as nanoseconds since 1970.
std::int64_t nanoseconds(const FILETIME& t) {
    const auto ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return (ticks - 116444736000000000LL) * 100;
}

// What FindFirstFile gives: no file number and no change time; the time of
// the file's making stands for the latter. Only where the folder cannot be
// listed through its handle.
FileStamp stampOf(const WIN32_FIND_DATAW& found) {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    const auto size = (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return {0, 0, size, nanoseconds(found.ftLastWriteTime), nanoseconds(found.ftCreationTime)};
}

std::int64_t nanoseconds(const LARGE_INTEGER& t) {
    return (t.QuadPart - 116444736000000000LL) * 100;
}

// The entries of `folder` through its handle, with each file's number and
// change time, as NTFS keeps them; nullopt when the system cannot list it so.
std::optional<std::vector<DirEntry>> entriesByHandle(const std::string& folder) {
    const Handle dir(CreateFileW(longPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir) return std::nullopt;
    std::vector<DirEntry> list;
    alignas(8) static thread_local char buffer[64 * 1024];
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(dir.get(), kind, buffer, sizeof buffer)) {
            if (GetLastError() == ERROR_NO_MORE_FILES) return list;
            return std::nullopt;
        }
        kind = FileIdBothDirectoryInfo;
        for (std::size_t at = 0;;) {
            const auto* e = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
            const std::wstring_view name(e->FileName, e->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                const DWORD a = e->FileAttributes;
                FileStamp stamp;
                if (!(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
                    stamp = {0, static_cast<std::uint64_t>(e->FileId.QuadPart),
                             e->EndOfFile.QuadPart, nanoseconds(e->LastWriteTime),
                             nanoseconds(e->ChangeTime)};
                }
                list.push_back({narrow(name), a & kKeptAttributes, stamp});
            }
            if (e->NextEntryOffset == 0) break;
            at += e->NextEntryOffset;
        }
    }
}

class Win32Folder final : public OpenFolder {
  public:
    explicit Win32Folder(std::string folder) : folder_(withSeparator(std::move(folder))) {}

    std::optional<std::vector<DirEntry>> entries() override {
        if (auto list = entriesByHandle(folder_)) {
            std::sort(list->begin(), list->end(), [](const DirEntry& a, const DirEntry& b) {
                return listsBefore(a.name, b.name);
            });
            return list;
        }
        WIN32_FIND_DATAW found{};
        HANDLE h = FindFirstFileExW(longPath(folder_ + "*").c_str(), FindExInfoBasic, &found,
                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (h == INVALID_HANDLE_VALUE) {
            // An empty drive root has no entries at all, not even ".".
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<DirEntry>{};
            return std::nullopt;
        }
        std::vector<DirEntry> list;
        do {
            const std::wstring_view name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            list.push_back(
                {narrow(name), found.dwFileAttributes & kKeptAttributes, stampOf(found)});
        } while (FindNextFileW(h, &found));
        const DWORD last = GetLastError();
        FindClose(h);
        if (last != ERROR_NO_MORE_FILES) return std::nullopt;
        std::sort(list.begin(), list.end(),
                  [](const DirEntry& a, const DirEntry& b) { return listsBefore(a.name, b.name); });
        return list;
    }

    IoResult readFile(const std::string& name, std::string& out) override {
        return Win32FileSystem().readFile(folder_ + name, out);
    }

  private:
    std::string folder_;
};

class MutexLock final : public UpdateLock {
  public:
    explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexLock() override {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

  private:
    HANDLE mutex_;
};

}  // namespace

std::unique_ptr<OpenFolder> Win32FileSystem::openFolder(const std::string& folder) {
    const auto a = attributes(folder);
    if (!a || !(*a & kDirectory)) return nullptr;
    return std::make_unique<Win32Folder>(folder);
}

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(longPath(kPaths.withoutTrailingSeparator(path)).c_str(),
                              GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return data.dwFileAttributes & kKeptAttributes;
}

IoResult Win32FileSystem::readFile(const std::string& path, std::string& out) {
    out.clear();
    Handle h(CreateFileW(longPath(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h) {
        const DWORD code = GetLastError();
        const auto a = attributes(path);
        if (a && (*a & kDirectory)) return {IoError::NotAFile, static_cast<int>(code)};
        return win32Failure(code);
    }
    if (GetFileType(h.get()) != FILE_TYPE_DISK) return {IoError::NotAFile, 0};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h.get(), &size)) return lastFailure();
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes) {
        return {IoError::TooLarge, 0};
    }
    out.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t have = 0;
    while (have < out.size()) {
        DWORD got = 0;
        if (!ReadFile(h.get(), out.data() + have, static_cast<DWORD>(out.size() - have), &got,
                      nullptr)) {
            out.clear();
            return lastFailure();
        }
        if (got == 0) break;  // shortened meanwhile
        have += got;
    }
    out.resize(have);
    return {};
}

IoResult Win32FileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    const auto existing = attributes(path);
    if (existing && (*existing & kReadOnly)) return {IoError::ReadOnly, 0};
    if (existing && (*existing & kDirectory)) return {IoError::NotAFile, 0};
    const auto sep = kPaths.lastSeparator(path);
    const std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
    removeStaleTemporaries(folder);
    // A temporary name of its own in the same folder; hidden, so a walk that
    // meets it before the rename passes it by.
    std::string temporary;
    Handle h(INVALID_HANDLE_VALUE);
    for (unsigned attempt = 0; attempt < 100 && !h; ++attempt) {
        temporary = folder + "~brimmark" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(GetTickCount64() % 100000 + attempt) + ".tmp";
        HANDLE made = CreateFileW(longPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (made == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_FILE_EXISTS) return lastFailure();
            continue;
        }
        h.reset(made);
    }
    if (!h) return {IoError::Other, ERROR_FILE_EXISTS};
    if (const auto r = writeAll(h.get(), bytes); !r) {
        CloseHandle(h.release());
        DeleteFileW(longPath(temporary).c_str());
        return r;
    }
    CloseHandle(h.release());
    // The new file takes the old one's attributes, but for the temporary's hidden.
    const DWORD keep = existing ? (*existing & ~(kDirectory | kReparsePoint)) : 0;
    SetFileAttributesW(longPath(temporary).c_str(), keep ? keep : FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(longPath(temporary).c_str(), longPath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const IoResult r = lastFailure();
        DeleteFileW(longPath(temporary).c_str());
        return r;
    }
    return {};
}

IoResult Win32FileSystem::createFolder(const std::string& path) {
    if (CreateDirectoryW(longPath(kPaths.withoutTrailingSeparator(path)).c_str(), nullptr)) {
        return {};
    }
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS) {
        const auto a = attributes(path);
        if (a && (*a & kDirectory)) return {};
    }
    return win32Failure(code);
}

IoResult Win32FileSystem::removeFile(const std::string& path) {
    if (DeleteFileW(longPath(path).c_str())) return {};
    return lastFailure();
}

IoResult Win32FileSystem::removeFolder(const std::string& path) {
    if (RemoveDirectoryW(longPath(kPaths.withoutTrailingSeparator(path)).c_str())) return {};
    return lastFailure();
}

IoResult Win32FileSystem::renameNew(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing name is never replaced.
    if (MoveFileExW(longPath(kPaths.withoutTrailingSeparator(from)).c_str(),
                    longPath(kPaths.withoutTrailingSeparator(to)).c_str(), 0)) {
        return {};
    }
    return lastFailure();
}

IoResult Win32FileSystem::createNewFile(const std::string& path, std::string_view bytes) {
    Handle h(CreateFileW(longPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return lastFailure();
    if (const auto r = writeAll(h.get(), bytes); !r) {
        CloseHandle(h.release());
        DeleteFileW(longPath(path).c_str());
        return r;
    }
    return {};
}

std::optional<std::int64_t> Win32FileSystem::modificationTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(longPath(kPaths.withoutTrailingSeparator(path)).c_str(),
                              GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    ULARGE_INTEGER t{};
    t.LowPart = data.ftLastWriteTime.dwLowDateTime;
    t.HighPart = data.ftLastWriteTime.dwHighDateTime;
    // 100 ns steps since 1601.
    return static_cast<std::int64_t>(t.QuadPart / 10000000ULL) - 11644473600LL;
}

LockAttempt Win32FileSystem::lockForUpdate(const std::string& path) {
    // The folder is locked, not the file, which is replaced by a new one. A
    // named mutex per folder (names folded to upper case, as the file system
    // finds them) holds off the other programs of this session.
    const auto sep = kPaths.lastSeparator(path);
    std::wstring folder = win32::widen(sep == std::string::npos ? "." : path.substr(0, sep));
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    const std::size_t hash = std::hash<std::wstring>{}(folder);
    const std::wstring name = L"Local\\Brimmark-update-" + std::to_wstring(hash);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) return {nullptr, {IoError::Other, static_cast<int>(GetLastError())}};
    // Waited for a few seconds at most: then the favorite is busy.
    const DWORD waited = WaitForSingleObject(mutex, 3000);
    if (waited == WAIT_TIMEOUT) {
        CloseHandle(mutex);
        return {nullptr, {IoError::Busy, 0}};
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return {nullptr, {IoError::Other, static_cast<int>(GetLastError())}};
    }
    return {std::make_unique<MutexLock>(mutex), {}};
}

}  // namespace brim::platform
