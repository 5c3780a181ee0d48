#include "platform/win32/Win32TreeWatcher.h"

#include <windows.h>

#include <thread>
#include <utility>
#include <vector>

#include "platform/WatchBatch.h"
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

IoResult failure(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return {IoError::NotFound, static_cast<int>(code)};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return {IoError::Denied, static_cast<int>(code)};
        default:
            return {IoError::Other, static_cast<int>(code)};
    }
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
        const std::wstring path = longPath(root_);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return failure(GetLastError());
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {IoError::NotAFile, ERROR_DIRECTORY};
        // Shared for deleting, so that the watch keeps no one from removing
        // or renaming the folder.
        dir_ =
            CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (dir_ == INVALID_HANDLE_VALUE) return failure(GetLastError());
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!stop_ || !done_) return failure(GetLastError());
        // The first read is asked for here, so that a folder the system
        // cannot watch fails the start, and every change after it is seen.
        if (!read()) return failure(GetLastError());
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
            const DWORD r =
                WaitForMultipleObjects(reading_ ? 2 : 1, handles, FALSE,
                                       wait ? static_cast<DWORD>(wait->count()) : INFINITE);
            if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
            if (r == WAIT_OBJECT_0 + 1) completed();
            batch_.deliverIfDue(listener_);
        }
        if (reading_) {
            // The system writes into the buffer until the read is over.
            CancelIoEx(dir_, &overlapped_);
            DWORD got = 0;
            GetOverlappedResult(dir_, &overlapped_, &got, TRUE);
        }
    }

    void completed() {
        DWORD got = 0;
        reading_ = false;
        if (!GetOverlappedResult(dir_, &overlapped_, &got, FALSE)) {
            if (GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
                // The root was removed, or its handle no longer serves.
                batch_.lose(WatchLoss::Ended);
                return;
            }
            batch_.lose(WatchLoss::Overflow);
        } else if (got == 0) {
            // More changes came than the buffer held.
            batch_.lose(WatchLoss::Overflow);
        } else {
            takeChanges(got);
        }
        if (!read()) batch_.lose(WatchLoss::Ended);
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
            if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_RENAMED_NEW_NAME)
                appeared(name + '\\');
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }

    // A folder created or moved in is reported with every folder below it.
    void appeared(const std::string& sub) {
        if (!isFolder(GetFileAttributesW(longPath(root_ + sub).c_str()))) return;
        std::vector<std::string> todo{sub};
        while (!todo.empty()) {
            const std::string at = std::move(todo.back());
            todo.pop_back();
            batch_.add(root_ + at);
            WIN32_FIND_DATAW found;
            const HANDLE h =
                FindFirstFileExW(longPath(root_ + at + '*').c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
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
