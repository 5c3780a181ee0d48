#pragma once
// Temporary folders and files for tests, and the system's own services the
// tests run on; nothing here touches the real home.

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NoBrowsers.h"
#include "platform/CodePage.h"
#include "platform/KnownFolders.h"
#include "platform/NativePaths.h"
#include "platform/Trash.h"
#ifdef _WIN32
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#else
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#endif

namespace brim::test {

#ifdef _WIN32
using SystemFileSystem = platform::Win32FileSystem;
using SystemCaseMapper = platform::Win32CaseMapper;
#else
using SystemFileSystem = platform::PosixFileSystem;
using SystemCaseMapper = platform::LocaleCaseMapper;
#endif

// The system's error codes for a refused and a full-disk write, as its file
// system reports them.
#ifdef _WIN32
inline constexpr int kDeniedCode = 5;     // ERROR_ACCESS_DENIED
inline constexpr int kNoSpaceCode = 112;  // ERROR_DISK_FULL
#else
inline constexpr int kDeniedCode = EACCES;
inline constexpr int kNoSpaceCode = ENOSPC;
#endif

// The separator of this system's paths, as a string to append.
inline const std::string kSep(1, platform::kNativeSeparator);

// `path` written with this system's separators: "/" becomes "\\" on Windows.
inline std::string native(std::string path) {
    for (char& c : path)
        if (c == '/') c = platform::kNativeSeparator;
    return path;
}

// A code page by its iconv name ("CP932", "EUC-JP"), through the system's
// converter: iconv on POSIX, MultiByteToWideChar on Windows.
class SystemCodePage final : public platform::CodePage {
  public:
    explicit SystemCodePage(const std::string& name = "CP932");
    ~SystemCodePage() override;
    std::string decode(std::string_view bytes) const override { return cp_->decode(bytes); }
    std::optional<std::string> encode(std::string_view utf8) const override {
        return cp_->encode(utf8);
    }
    bool isValid(std::string_view bytes) const override { return cp_->isValid(bytes); }
    bool isLeadByte(unsigned char byte) const override { return cp_->isLeadByte(byte); }
    std::string name() const override { return cp_->name(); }

  private:
    std::unique_ptr<platform::CodePage> cp_;
};

// A UTF-8 path as std::filesystem takes it: on Windows a narrow string would
// go through the ANSI code page.
inline std::filesystem::path fsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
// The UTF-8 text of a std::filesystem path.
inline std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder's path, ending in the system's separator.
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
bool exists(const std::string& path);
// CP932 bytes of UTF-8 text.
std::string cp932(std::string_view utf8);
// A minimal Internet Shortcut file in CP932 with an address and, when not
// empty, a comment.
void writeShortcut(const std::string& path, std::string_view url, std::string_view comment = {});

// `body` followed by its sum, as the cache of the rows ends its file: every
// byte before it mixed in eight at a time, the sum written little-endian.
inline std::string withSum(std::string body) {
    // Eight bytes at a step, little-endian, the last step zero-padded.
    std::uint64_t h = 0x9e3779b97f4a7c15ull ^ body.size();
    for (std::size_t at = 0; at <= body.size(); at += 8) {
        std::uint64_t w = 0;
        for (std::size_t i = 0; i < 8 && at + i < body.size(); ++i)
            w |= static_cast<std::uint64_t>(static_cast<unsigned char>(body[at + i])) << (8 * i);
        h = (h ^ w) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    for (int i = 0; i < 8; ++i)
        body.push_back(static_cast<char>((h >> (8 * i)) & 0xff));
    return body;
}

// Sets an environment variable for one test, and restores it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

#ifndef _WIN32
// A file system of the test's own mounted on an existing folder, for the
// faults root cannot override: a read-only view of the folder as it is, or a
// small empty memory disk that can be filled to its last byte. Only root may
// mount; elsewhere mounted() is false and the test skips. Unmounted when the
// object goes, before the temporary folder under it is removed.
class TestMount {
  public:
    enum Kind { ReadOnlyView, SmallDisk };
    TestMount(const std::string& folder, Kind kind);
    ~TestMount();
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    bool mounted() const { return mounted_; }
    // Why it is not mounted.
    const std::string& why() const { return why_; }
    // On a small disk: takes every byte left, so that any write needing one
    // more fails with "no space"; free() gives them back.
    void fill();
    void free();

  private:
    std::string folder_;
    bool mounted_ = false;
    std::string why_;
};
#endif

// Moves files into one folder, as a trash would; refuses the paths in
// `refuse`.
class FolderTrash final : public platform::Trash {
  public:
    explicit FolderTrash(std::string folder) : folder_(std::move(folder)) {}
    platform::IoResult moveToTrash(const std::string& path) override;
    std::vector<std::string> refuse;

  private:
    std::string folder_;
};

// Special folders that all lie inside one temporary folder.
class TestFolders final : public platform::KnownFolders {
  public:
    explicit TestFolders(const TempDir& dir);
    std::string favorites() const override { return base_ + "Favorites" + kSep; }
    std::string desktop() const override { return base_ + "Desktop" + kSep; }
    std::string sendTo() const override { return base_ + "SendTo" + kSep; }
    std::string programFolder() const override { return base_ + "program" + kSep; }
    std::string settingsFile() const override { return programFolder() + "Brimmark.ini"; }
    std::string stateFolder() const override { return base_ + "state" + kSep; }
    std::string favoritesVariable() const override { return variable; }
    std::string cacheFolder() const override { return base_ + "cache" + kSep; }

    // What favoritesVariable() says; empty as where the system chooses the folder.
    std::string variable = "BRIMMARK_FAVORITES";

  private:
    std::string base_;
};

}  // namespace brim::test
