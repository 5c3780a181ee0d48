#pragma once
// What the core needs of the file system. Paths here are the system's own
// absolute paths; the program's backslash notation is translated by the core.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brim::platform {

// Attribute values as the walks test them.
enum Attribute : std::uint32_t {
    kReadOnly = 1,
    kHidden = 2,
    kSystem = 4,
    kDirectory = 16,
    kArchive = 32,
    kReparsePoint = 1024,
};

// What the listing says of a plain file, without opening it: while none of
// it changes, neither did the file (the rules of git's index). Times are in
// nanoseconds since 1970.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t id = 0;       // the file's number on its device; 0 where the system gives none
    std::int64_t size = -1;     // -1: no stamp (a link, or the system could not say)
    std::int64_t modified = 0;  // the last write
    std::int64_t changed = 0;   // the last change of contents or status
    // Not asked for: a plain file's, left to OpenFolder::readStamped.
    bool deferred = false;
    bool known() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
    FileStamp stamp{};  // for a plain file, where the listing gives it
};

enum class IoError {
    None,
    NotFound,  // the file or a folder on its path does not exist
    ReadOnly,  // the file carries the read-only attribute
    Denied,    // the system refused access
    NoSpace,   // the disk or quota is full
    NotAFile,  // the path names a folder or a special file
    TooLarge,  // larger than any profile file the program will hold in memory
    Exists,    // a new file's name is taken
    Busy,      // another program kept the file locked for longer than we wait
    Other,
};

struct [[nodiscard]] IoResult {
    IoError error = IoError::None;
    int sysError = 0;  // errno of the failing call, 0 when none
    explicit operator bool() const { return error == IoError::None; }
};

// A folder held open while a walk reads it, so that its entries are found
// from the folder rather than by their full paths again and again.
class OpenFolder {
  public:
    virtual ~OpenFolder() = default;

    // Entries except "." and "..", in the listing order the program shows
    // (listsBefore). nullopt when the folder cannot be read.
    virtual std::optional<std::vector<DirEntry>> entries() = 0;

    // entries() for a walk that reads every plain file anyway: where asking
    // for a file's stamp costs a query of its own, a plain file may come
    // without it (stamp.deferred), and without the read-only attribute.
    virtual std::optional<std::vector<DirEntry>> entriesUnstamped() { return entries(); }

    // FileSystem::readFile for the entry `name` of this folder.
    virtual IoResult readFile(const std::string& name, std::string& out) = 0;

    // readFile, giving also the stamp of the file that was read, taken before
    // its bytes were; an unknown stamp where the system cannot tell.
    virtual IoResult readStamped(const std::string& name, std::string& out, FileStamp& stamp) {
        stamp = {};
        return readFile(name, out);
    }
};

// Held while a file is read, changed and replaced, so that two programs
// changing one file at once do not lose each other's change.
class UpdateLock {
  public:
    virtual ~UpdateLock() = default;
};

// What lockForUpdate achieved.
struct [[nodiscard]] LockAttempt {
    // Holds the lock while it lives; nullptr when none was taken.
    std::unique_ptr<UpdateLock> lock;
    // Busy: another update held the folder for the whole wait, and the update
    // must not run. Any other failure: the folder cannot be locked at all (a
    // file system without locks), and the update runs unguarded.
    IoResult status;
};

// New files written one after another into one folder, as an import writes
// them. Each is written as FileSystem::createNewFile writes it, complete on
// the disk before it has its name; what a system may do once for the whole
// series (clearing the folder of leftovers, flushing its entries) is done
// once, and the entries are on the disk when finish() returns.
class NewFiles {
  public:
    virtual ~NewFiles() = default;
    // FileSystem::createNewFile for the file `name` of the folder.
    virtual IoResult create(const std::string& name, std::string_view bytes) = 0;
    // Flushes the names created so far to the disk.
    virtual void finish() = 0;
};

// The listing order of OpenFolder::entries: ASCII upper case first, then the
// bytes, as NTFS lists names.
bool listsBefore(std::string_view a, std::string_view b);

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // nullptr when the folder cannot be opened.
    virtual std::unique_ptr<OpenFolder> openFolder(const std::string& folder) = 0;

    // The entries of a folder, as OpenFolder::entries.
    std::optional<std::vector<DirEntry>> listFolder(const std::string& folder) {
        const auto f = openFolder(folder);
        return f ? f->entries() : std::nullopt;
    }

    // Attribute value of a path, nullopt when it does not exist.
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;

    // Reads a regular file whole into `out` (its capacity is reused, so a walk
    // can pass the same buffer for every file). Files over kMaxFileBytes are
    // refused with TooLarge.
    virtual IoResult readFile(const std::string& path, std::string& out) = 0;
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    // Replaces the file's contents with `bytes` so that a reader sees either the
    // old or the new file, never a part: a temporary file in the same folder is
    // written, flushed and renamed over it. Where the file system allows, that
    // file has no name until the last moment; elsewhere a hidden one, which a
    // later write into the folder removes if its writer was killed. Permissions
    // of an existing file are kept; a read-only file is refused. A symbolic
    // link is written through.
    virtual IoResult replaceFile(const std::string& path, std::string_view bytes) = 0;

    // Creates one folder; its parent must exist. Succeeds when it exists already.
    virtual IoResult createFolder(const std::string& path) = 0;

    // Gives a file or folder a new name in the same folder; fails with Exists,
    // changing nothing, when the new name is taken.
    virtual IoResult renameNew(const std::string& from, const std::string& to) {
        static_cast<void>(from);
        static_cast<void>(to);
        return {IoError::Other, 0};
    }

    // Removes one file (not a folder).
    virtual IoResult removeFile(const std::string& path) {
        static_cast<void>(path);
        return {IoError::Other, 0};
    }

    // Removes one empty folder; fails, removing nothing, when it holds anything.
    virtual IoResult removeFolder(const std::string& path) = 0;

    // Writes a new file whole: it fails with Exists when the name is taken,
    // and leaves no file behind when the write fails part way.
    virtual IoResult createNewFile(const std::string& path, std::string_view bytes) = 0;

    // For writing many new files into the existing `folder` (ending in a
    // separator). Where the system has nothing to share between them, each
    // goes through createNewFile.
    virtual std::unique_ptr<NewFiles> newFilesIn(const std::string& folder);

    // Waits a few seconds at most until no other update of a file in the
    // folder of `path` runs, and holds them off while the returned lock lives.
    virtual LockAttempt lockForUpdate(const std::string& path) = 0;

    // Last modification time in seconds since 1970, nullopt when unknown.
    virtual std::optional<std::int64_t> modificationTime(const std::string& path) = 0;
};

}  // namespace brim::platform
