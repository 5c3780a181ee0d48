#pragma once
// Small pieces the POSIX services share.

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace brim::platform {

// The failure an errno value stands for.
IoResult ioFailure(int e);

// Writes all of `bytes`, going on after interruptions; false with errno set.
bool writeAll(int fd, std::string_view bytes);

// The folder of a path, without its trailing "/" ("/" for the root).
std::string parentOf(const std::string& path);

// Whether the process `pid` may still run (it exists, or we may not ask).
bool processAlive(pid_t pid);

// The process environment's value of `name`; nullopt when unset or empty.
std::optional<std::string> processEnv(const std::string& name);

// The name of a temporary file this program writes into `folder`: hidden, so
// that no walk lists it, and naming its writer's pid, so that a later write
// can tell a leftover of a killed writer from one still being written.
std::string temporaryName(const std::string& folder, std::string_view kind);

// The pid a name made by temporaryName carries, 0 when it is not one of ours
// of that kind.
pid_t temporaryOwner(std::string_view name, std::string_view kind);

// Removes the temporary files of `kind` in `folder` whose writers are gone.
void removeStaleTemporaries(const std::string& folder, std::string_view kind);

// Renames `from` to `to` unless `to` exists (EEXIST then). Where the file
// system cannot do that in one step (network shares), the test and the rename
// are two. 0 or -1 with errno, as rename.
int renameNoReplace(const std::string& from, const std::string& to);

// Flushes a folder's entries (a rename or link in it) to the disk.
void syncFolder(const std::string& folder);

// A new file's bytes, written and flushed to the disk before any name points
// at them. Where the file system offers it the file has no name at all until
// it is put in place (O_TMPFILE); elsewhere it lies under a hidden temporary
// name. Whatever is not put in place is removed when the object goes.
class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Writes `bytes` into a new file in `folder`, created with `mode` (less
    // the umask) so that it is never more open than meant. Leftovers of
    // killed writers in that folder are removed first, unless the caller
    // has done so for a series of files.
    IoResult write(const std::string& folder, std::string_view bytes, unsigned mode = 0666,
                   bool clearLeftovers = true);

    // Gives the file exactly the permissions and owner of `like` (root
    // writing a user's file leaves it the user's).
    IoResult takeModeOf(const struct stat& like);

    // Gives the file the name `path`; Exists when the name is taken. The
    // folder's entries are flushed to the disk, unless the caller does that
    // once for a series of files.
    IoResult linkAs(const std::string& path, bool flushFolder = true);

    // Puts the file in place of `path`, which may exist.
    IoResult replace(const std::string& path);

  private:
    IoResult nameIt();
    void discard();

    int fd_ = -1;
    std::string folder_;
    std::string temp_;  // the hidden name while it has one
};

}  // namespace brim::platform
