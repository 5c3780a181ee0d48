#pragma once
// The six profile operations through which settings and Internet Shortcut
// files are read and written, and the write of several keys at once. Each call
// is one read or one replacement of the file; nothing is cached, so a value
// written is seen by the next read. Each file keeps its encoding
// (core/ProfileEncoding.h).

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace brim::core {

inline constexpr std::string_view kShortcutSection = "InternetShortcut";
inline constexpr std::string_view kUrlKey = "URL";
inline constexpr std::string_view kCommentSection = "CommentKey";
inline constexpr std::string_view kCommentKey = "Words";

struct [[nodiscard]] WriteStatus {
    enum class Kind {
        Ok,
        Unencodable,  // a character has no form in the file's encoding: see `character`
        BadName,      // a section or key name that cannot stand in the file
        ReadFailed,   // the existing file could not be read
        WriteFailed,  // the new file could not be written
    };
    Kind kind = Kind::Ok;
    platform::IoResult io;
    std::string character;  // Unencodable: the first character that cannot be stored
    std::string encoding;   // Unencodable: the name of the file's encoding
    explicit operator bool() const { return kind == Kind::Ok; }
};

// A short English reason, for the command line and for logs of tests.
std::string describe(const WriteStatus& status);
std::string describe(const platform::IoResult& io);

// A value as it is stored: one line, each line break (CRLF, CR or LF) and each
// NUL turned into one blank, so it can neither be cut short nor add keys.
std::string oneLine(std::string_view value);

// One key of a write of several keys.
struct ProfileChange {
    std::string_view section;
    std::string_view key;
    // nullopt leaves an existing file's key as it is (also when missing); a
    // new file gets the key with an empty value.
    std::optional<std::string_view> value;
};

// The two values the program keeps in an Internet Shortcut file.
struct ShortcutValues {
    std::string url;      // "URL" of "InternetShortcut"
    std::string comment;  // "Words" of "CommentKey"
};

class Profile {
  public:
    Profile(platform::FileSystem& fs, const platform::CodePage& cp,
            const platform::KnownFolders& folders);

    // Missing file, section or key reads as the empty text.
    std::string ReadSetting(std::string_view section, std::string_view key) const;
    WriteStatus WriteSetting(std::string_view section, std::string_view key,
                             std::string_view value) const;
    std::string ReadShortcutUrl(const std::string& path) const;
    WriteStatus WriteShortcutUrl(const std::string& path, std::string_view url) const;
    std::string ReadShortcutComment(const std::string& path) const;
    WriteStatus WriteShortcutComment(const std::string& path, std::string_view comment) const;
    // The address and the comment from one read of the file.
    ShortcutValues ReadShortcut(const std::string& path) const;

    // The general forms behind the six.
    std::string read(const std::string& path, std::string_view section, std::string_view key) const;
    WriteStatus write(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value) const;
    // Every change in one read and one replacement of the file, under the
    // folder's lock: the file holds all of them or none.
    WriteStatus write(const std::string& path, std::span<const ProfileChange> changes) const;
    // The same for a caller that holds the folder's lock already
    // (FileSystem::lockForUpdate), having looked the file up under it.
    WriteStatus writeLocked(const std::string& path, std::span<const ProfileChange> changes) const;

    // The value in a file's bytes already read, so that a walk that needs
    // several keys of one file reads the file once.
    std::string valueIn(std::string_view bytes, std::string_view section,
                        std::string_view key) const;
    // The address and the comment in a shortcut's bytes already read.
    ShortcutValues ShortcutIn(std::string_view bytes) const;

    const platform::CodePage& codePage() const { return cp_; }

  private:
    platform::FileSystem& fs_;
    const platform::CodePage& cp_;
    const platform::KnownFolders& folders_;
    // The shortcut's sections and keys as the code page spells them (nullopt
    // where it cannot), spelled once rather than for every file read.
    struct ShortcutNames {
        std::optional<std::string> urlSection, urlKey, commentSection, commentKey;
    };
    ShortcutNames names_;
};

}  // namespace brim::core
