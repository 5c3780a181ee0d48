#pragma once
#include <functional>
#include <set>
#include <string>

#include "TestSupport.h"

namespace brim::test {

// The real file system, except for the failures a test asks for.
class FlakyFileSystem final : public platform::FileSystem {
  public:
    std::set<std::string> unreadable;
    std::set<std::string> unremovable;
    std::set<std::string> unwritable;
    // Runs just before a rename, as another program would act at that moment.
    std::function<void(const std::string& from, const std::string& to)> beforeRename;
    // Runs as a folder is opened; may throw, as a failing allocation would.
    std::function<void(const std::string& folder)> beforeOpenFolder;
    SystemFileSystem real;

    std::unique_ptr<platform::OpenFolder> openFolder(const std::string& folder) override {
        if (unreadable.count(folder)) return nullptr;
        if (beforeOpenFolder) beforeOpenFolder(folder);
        return real.openFolder(folder);
    }
    std::optional<std::uint32_t> attributes(const std::string& p) override {
        return real.attributes(p);
    }
    platform::IoResult readFile(const std::string& p, std::string& out) override {
        if (unreadable.count(p)) return {platform::IoError::Denied, kDeniedCode};
        return real.readFile(p, out);
    }
    platform::IoResult replaceFile(const std::string& p, std::string_view b) override {
        if (unwritable.count(p)) return {platform::IoError::NoSpace, kNoSpaceCode};
        return real.replaceFile(p, b);
    }
    platform::IoResult createFolder(const std::string& p) override { return real.createFolder(p); }
    platform::IoResult createNewFile(const std::string& p, std::string_view b) override {
        if (unwritable.count(p)) return {platform::IoError::NoSpace, kNoSpaceCode};
        return real.createNewFile(p, b);
    }
    platform::LockAttempt lockForUpdate(const std::string& p) override {
        return real.lockForUpdate(p);
    }
    std::optional<std::int64_t> modificationTime(const std::string& p) override {
        return real.modificationTime(p);
    }
    platform::IoResult renameNew(const std::string& from, const std::string& to) override {
        if (unwritable.count(from)) return {platform::IoError::Denied, kDeniedCode};
        if (beforeRename) beforeRename(from, to);
        return real.renameNew(from, to);
    }
    platform::IoResult removeFile(const std::string& p) override { return real.removeFile(p); }
    platform::IoResult removeFolder(const std::string& p) override {
        if (unremovable.count(p)) return {platform::IoError::Denied, kDeniedCode};
        return real.removeFolder(p);
    }
};

}  // namespace brim::test
