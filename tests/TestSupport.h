#pragma once
// Temporary folders and files for tests; nothing here touches the real home.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/KnownFolders.h"

namespace brim::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder's path, ending in "/".
    const std::string& path() const { return path_; }
    // path() + relative.
    std::string operator/(std::string_view relative) const { return path_ + std::string(relative); }

  private:
    std::string path_;
};

// Writes `bytes` to `path`, creating the folders on the way.
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
void makeFolders(const std::string& path);
// CP932 bytes of UTF-8 text.
std::string cp932(std::string_view utf8);
// A minimal Internet Shortcut file in CP932 with an address and, when not
// empty, a comment.
void writeShortcut(const std::string& path, std::string_view url, std::string_view comment = {});

// Special folders that all lie inside one temporary folder.
class TestFolders final : public platform::KnownFolders {
  public:
    explicit TestFolders(const TempDir& dir);
    std::string favorites() const override { return base_ + "Favorites/"; }
    std::string desktop() const override { return base_ + "Desktop/"; }
    std::string sendTo() const override { return base_ + "SendTo/"; }
    std::string programFolder() const override { return base_ + "program/"; }
    std::string settingsFile() const override { return programFolder() + "Brimmark.ini"; }
    std::string favoritesVariable() const override { return variable; }

    // What favoritesVariable() says; empty as where the system chooses the folder.
    std::string variable = "BRIMMARK_FAVORITES";

  private:
    std::string base_;
};

}  // namespace brim::test
