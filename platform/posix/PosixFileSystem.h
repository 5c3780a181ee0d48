#pragma once
#include <chrono>

#include "platform/FileSystem.h"

namespace brim::platform {

class PosixFileSystem final : public FileSystem {
  public:
    // Long enough for any other program's save to end, short enough that a
    // hung one does not freeze the window.
    static constexpr std::chrono::milliseconds kLockWait{3000};

    // `lockWait`: how long lockForUpdate waits for another update to end.
    explicit PosixFileSystem(std::chrono::milliseconds lockWait = kLockWait)
        : lockWait_(lockWait) {}

    std::unique_ptr<OpenFolder> openFolder(const std::string& folder) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    IoResult readFile(const std::string& path, std::string& out) override;
    IoResult replaceFile(const std::string& path, std::string_view bytes) override;
    IoResult createFolder(const std::string& path) override;
    IoResult removeFile(const std::string& path) override;
    IoResult removeFolder(const std::string& path) override;
    IoResult renameNew(const std::string& from, const std::string& to) override;
    IoResult createNewFile(const std::string& path, std::string_view bytes) override;
    std::unique_ptr<NewFiles> newFilesIn(const std::string& folder) override;
    std::optional<std::int64_t> modificationTime(const std::string& path) override;
    LockAttempt lockForUpdate(const std::string& path) override;

  private:
    std::chrono::milliseconds lockWait_;
};

}  // namespace brim::platform
