#pragma once
// Small pieces the POSIX services share.

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

// Writes `bytes` into a new hidden file in `folder`, created with `mode`
// (less the umask) so that it is never more open than meant, and flushed to
// the disk; `temp` gets its path. Nothing is left behind on failure.
IoResult writeTemporary(const std::string& folder, std::string_view bytes, std::string& temp,
                        unsigned mode = 0666);

}  // namespace brim::platform
