#pragma once
#include "platform/FileSystem.h"

namespace brim::platform {

// A Win32 error code (GetLastError) as the file system reports it.
IoResult win32Failure(unsigned long code);

// The Windows file system through the wide-character API. IoResult::sysError
// holds the Win32 error code (GetLastError).
class Win32FileSystem final : public FileSystem {
  public:
    std::unique_ptr<OpenFolder> openFolder(const std::string& folder) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    IoResult readFile(const std::string& path, std::string& out) override;
    IoResult replaceFile(const std::string& path, std::string_view bytes) override;
    IoResult createFolder(const std::string& path) override;
    IoResult removeFile(const std::string& path) override;
    IoResult removeFolder(const std::string& path) override;
    IoResult renameNew(const std::string& from, const std::string& to) override;
    IoResult createNewFile(const std::string& path, std::string_view bytes) override;
    std::optional<std::int64_t> modificationTime(const std::string& path) override;
    LockAttempt lockForUpdate(const std::string& path) override;
};

}  // namespace brim::platform
