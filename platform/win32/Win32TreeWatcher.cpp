#include "platform/win32/Win32TreeWatcher.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/WatchBatch.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {
namespace {

using win32::longPath;
using win32::narrow;

// Names, folders, writes and sizes; attributes too, since the walks skip
// hidden and system files.
constexpr DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_ATTRIBUTES;

// As much as the system buffers between two reads; 64 KiB is the most a
// folder on a file server takes.
constexpr std::size_t kBufferBytes = 64 * 1024;

// How often the root is looked for: the system tells of no change of the
// watched folder itself, and Wine not even of its removal.
constexpr DWORD kRootCheckMs = 1000;

struct FolderId {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FolderId&) const = default;
};

std::optional<FolderId> idOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return std::nullopt;
    return FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Wine's server watches a folder below the root only once a handle to it
// has been opened after the watch began (and then only while its parent is
// watched); folders made later it finds itself.
bool subfoldersNeedOpening() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    static const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return wine;
}

void touchFolder(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class DirectoryChangesWatch final : public TreeWatch {
  public:
    DirectoryChangesWatch(std::string root, TreeListener& listener, WatchPace pace)
        : root_(std::move(root)),
          listener_(listener),
          batch_(pace),
          buffer_(kBufferBytes / sizeof(DWORD)) {}

    ~DirectoryChangesWatch() override {
        if (thread_.joinable()) {
            SetEvent(stop_);
            thread_.join();
        }
        if (dir_ != INVALID_HANDLE_VALUE) CloseHandle(dir_);
        if (done_) CloseHandle(done_);
        if (stop_) CloseHandle(stop_);
    }

    IoResult start() {
        // Without its "\\", so that a file is told from a missing folder.
        const std::wstring path = longPath(root_.substr(0, root_.size() - 1));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return win32Failure(GetLastError());
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {IoError::NotAFile, ERROR_DIRECTORY};
        // Shared for deleting, so that the watch keeps no one from removing
        // or renaming the folder.
        dir_ =
            CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (dir_ == INVALID_HANDLE_VALUE) return win32Failure(GetLastError());
        id_ = idOf(dir_);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!stop_ || !done_) return win32Failure(GetLastError());
        // The first read is asked for here, so that a folder the system
        // cannot watch fails the start, and every change after it is seen.
        if (!read()) return win32Failure(GetLastError());
        if (subfoldersNeedOpening()) walk(std::string(), false);
        thread_ = std::thread([this] { run(); });
        return {};
    }

  private:
    bool read() {
        ResetEvent(done_);
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = done_;
        reading_ = ReadDirectoryChangesW(dir_, buffer_.data(),
                                         static_cast<DWORD>(buffer_.size() * sizeof(DWORD)), TRUE,
                                         kFilter, nullptr, &overlapped_, nullptr) != FALSE;
        return reading_;
    }

    void run() {
        for (;;) {
            const auto wait = batch_.untilDue();
            const HANDLE handles[2] = {stop_, done_};
            DWORD timeout = wait ? static_cast<DWORD>(wait->count()) : INFINITE;
            if (!ended_) timeout = std::min(timeout, kRootCheckMs);
            const DWORD r =
                WaitForMultipleObjects(reading_ && !ended_ ? 2 : 1, handles, FALSE, timeout);
            if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
            if (r == WAIT_OBJECT_0 + 1) completed();
            const ULONGLONG now = GetTickCount64();
            if (!ended_ && now - checked_ >= kRootCheckMs) {
                checked_ = now;
                if (!rootIsThere()) end();
            }
            batch_.deliverIfDue(listener_);
        }
        if (reading_) {
            // The system writes into the buffer until the read is over.
            CancelIoEx(dir_, &overlapped_);
            DWORD got = 0;
            GetOverlappedResult(dir_, &overlapped_, &got, TRUE);
        }
    }

    // Whether the root's path still leads to the folder watched.
    bool rootIsThere() const {
        // Removed while we hold it open, it lingers until closed, marked.
        FILE_STANDARD_INFO standard{};
        if (GetFileInformationByHandleEx(dir_, FileStandardInfo, &standard, sizeof standard) &&
            standard.DeletePending)
            return false;
        const HANDLE h =
            CreateFileW(longPath(root_.substr(0, root_.size() - 1)).c_str(), FILE_READ_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const auto id = idOf(h);
        CloseHandle(h);
        return !id_ || !id || *id == *id_;
    }

    void end() {
        batch_.lose(WatchLoss::Ended);
        ended_ = true;
    }

    void completed() {
        DWORD got = 0;
        reading_ = false;
        if (!GetOverlappedResult(dir_, &overlapped_, &got, FALSE)) {
            if (GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
                // The root was removed, or its handle no longer serves.
                end();
                return;
            }
            batch_.lose(WatchLoss::Overflow);
        } else if (got == 0) {
            // More changes came than the buffer held.
            batch_.lose(WatchLoss::Overflow);
        } else {
            takeChanges(got);
        }
        if (!read()) end();
    }

    void takeChanges(DWORD got) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer_.data());
        for (DWORD at = 0; at < got;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(bytes + at);
            const std::string name =
                narrow(std::wstring_view(info->FileName, info->FileNameLength / sizeof(wchar_t)));
            const std::size_t cut = name.rfind('\\');
            batch_.add(root_ +
                       (cut == std::string::npos ? std::string() : name.substr(0, cut + 1)));
            if ((info->Action == FILE_ACTION_ADDED ||
                 info->Action == FILE_ACTION_RENAMED_NEW_NAME) &&
                isFolder(GetFileAttributesW(longPath(root_ + name).c_str())))
                walk(name + '\\', true);
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }

    // Goes through the folder `sub` and every folder below it, parents
    // first; a folder created or moved in is reported with all of them.
    void walk(const std::string& sub, bool report) {
        std::vector<std::string> todo{sub};
        while (!todo.empty()) {
            const std::string at = std::move(todo.back());
            todo.pop_back();
            if (report) batch_.add(root_ + at);
            if (subfoldersNeedOpening() && !at.empty()) touchFolder(longPath(root_ + at));
            WIN32_FIND_DATAW found;
            const HANDLE h = FindFirstFileExW(longPath(root_ + at + '*').c_str(), FindExInfoBasic,
                                              &found, FindExSearchNameMatch, nullptr, 0);
            if (h == INVALID_HANDLE_VALUE) continue;
            do {
                const std::wstring_view n = found.cFileName;
                if (n == L"." || n == L".." || !isFolder(found.dwFileAttributes)) continue;
                todo.push_back(at + narrow(n) + '\\');
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
    }

    const std::string root_;  // ends in "\"
    TreeListener& listener_;
    WatchBatch batch_;
    std::vector<DWORD> buffer_;  // DWORD-aligned, as the records must be
    HANDLE dir_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    HANDLE done_ = nullptr;
    OVERLAPPED overlapped_{};
    bool reading_ = false;
    bool ended_ = false;
    std::optional<FolderId> id_;
    ULONGLONG checked_ = 0;
    std::thread thread_;
};

}  // namespace

WatchStart Win32TreeWatcher::watch(const std::string& root, TreeListener& listener,
                                   WatchPace pace) {
    std::string folder = root;
    for (char& c : folder)
        if (c == '/') c = '\\';
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    auto w = std::make_unique<DirectoryChangesWatch>(folder, listener, pace);
    const IoResult status = w->start();
    if (!status) return {nullptr, status};
    return {std::move(w), status};
}

}  // namespace brim::platform
