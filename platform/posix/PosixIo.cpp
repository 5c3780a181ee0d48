#include "platform/posix/PosixIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace brim::platform {

IoResult ioFailure(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return {IoError::NotFound, e};
        case EACCES:
        case EPERM:
        case EROFS:
            return {IoError::Denied, e};
        case ENOSPC:
        case EDQUOT:
            return {IoError::NoSpace, e};
        case EISDIR:
            return {IoError::NotAFile, e};
        case EEXIST:
            return {IoError::Exists, e};
        default:
            return {IoError::Other, e};
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

IoResult writeTemporary(const std::string& folder, std::string_view bytes, std::string& temp,
                        unsigned mode) {
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // Hidden, so that no walk lists it if a crash leaves it behind.
        temp = folder + "/.brimmark-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
               ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) return ioFailure(errno);
    }
    if (fd < 0) return ioFailure(EEXIST);
    const bool written = writeAll(fd, bytes) && fsync(fd) == 0;
    const int e = errno;
    if (::close(fd) != 0 || !written) {
        const int closeError = errno;
        ::unlink(temp.c_str());
        return ioFailure(written ? closeError : e);
    }
    return {};
}

}  // namespace brim::platform
