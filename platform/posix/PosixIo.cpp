#include "platform/posix/PosixIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>

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
        if (n == 0) errno = ENOSPC;
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

bool processAlive(pid_t pid) {
    if (pid <= 0) return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::optional<std::string> processEnv(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    if (!v || !*v) return std::nullopt;
    return std::string(v);
}

namespace {
constexpr std::string_view kTempPrefix = ".brimmark-";
}

std::string temporaryName(const std::string& folder, std::string_view kind) {
    static std::atomic<unsigned> counter{0};
    return folder + "/" + std::string(kTempPrefix) + std::to_string(getpid()) + "-" +
           std::to_string(counter++) + "." + std::string(kind);
}

pid_t temporaryOwner(std::string_view name, std::string_view kind) {
    if (name.substr(0, kTempPrefix.size()) != kTempPrefix) return 0;
    name.remove_prefix(kTempPrefix.size());
    const auto number = [&name](long long& value) {
        const auto r = std::from_chars(name.data(), name.data() + name.size(), value);
        if (r.ec != std::errc() || r.ptr == name.data()) return false;
        name.remove_prefix(static_cast<std::size_t>(r.ptr - name.data()));
        return true;
    };
    long long pid = 0, serial = 0;
    if (!number(pid) || name.empty() || name.front() != '-') return 0;
    name.remove_prefix(1);
    if (!number(serial) || name.empty() || name.front() != '.' || name.substr(1) != kind) return 0;
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

void removeStaleTemporaries(const std::string& folder, std::string_view kind) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const pid_t self = getpid();
    while (const dirent* e = readdir(dir)) {
        const pid_t owner = temporaryOwner(e->d_name, kind);
        if (owner != 0 && owner != self && !processAlive(owner)) {
            // Another cleaner may have been quicker; that is fine.
            ::unlinkat(dirfd(dir), e->d_name, 0);
        }
    }
    closedir(dir);
}

int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The data is safe already; a failure here only risks the new name
        // after a power cut, and nothing better can be done about it.
        fsync(fd);
        ::close(fd);
    }
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

IoResult PendingFile::write(const std::string& folder, std::string_view bytes, unsigned mode,
                            bool clearLeftovers) {
    discard();
    folder_ = folder;
    if (clearLeftovers) removeStaleTemporaries(folder, "tmp");
#ifdef O_TMPFILE
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    // Old kernels and some file systems (FAT, network shares) have no
    // unnamed files: a hidden name then.
    if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return ioFailure(errno);
#endif
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = temporaryName(folder, "tmp");
        fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ < 0) {
            const int e = errno;
            temp_.clear();
            if (e != EEXIST) return ioFailure(e);
        }
    }
    if (fd_ < 0) return ioFailure(EEXIST);
    if (!writeAll(fd_, bytes) || fsync(fd_) != 0) {
        const int e = errno;
        discard();
        return ioFailure(e);
    }
    return {};
}

IoResult PendingFile::takeModeOf(const struct stat& like) {
    if (geteuid() == 0) {
        // Best effort: a share may refuse owners; the permissions matter more.
        [[maybe_unused]] const int ignored = ::fchown(fd_, like.st_uid, like.st_gid);
    }
    if (::fchmod(fd_, like.st_mode & 07777) != 0) return ioFailure(errno);
    return {};
}

IoResult PendingFile::nameIt() {
    if (!temp_.empty()) return {};
    // Without /proc the unnamed file cannot be linked: its bytes go to a
    // hidden name instead.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(folder_, "tmp");
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp_ = name;
            return {};
        }
        if (errno != EEXIST) break;
    }
    if (errno == EEXIST) return ioFailure(EEXIST);
    const std::string name = temporaryName(folder_, "tmp");
    const int copy = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (copy < 0) return ioFailure(errno);
    struct stat st {};
    bool ok = fstat(fd_, &st) == 0;
    char buf[65536];
    for (off_t at = 0; ok;) {
        const ssize_t n = ::pread(fd_, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeAll(copy, std::string_view(buf, static_cast<std::size_t>(n)));
        at += n;
    }
    ok = ok && ::fchmod(copy, st.st_mode & 07777) == 0 && fsync(copy) == 0;
    const int e = errno;
    ::close(fd_);
    fd_ = copy;
    temp_ = name;
    if (!ok) return ioFailure(e);
    return {};
}

IoResult PendingFile::linkAs(const std::string& path, bool flushFolder) {
    if (fd_ < 0) return ioFailure(EBADF);
    const auto named = [&] {
        discard();
        if (flushFolder) syncFolder(parentOf(path));
        return IoResult{};
    };
    if (temp_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return named();
        }
        if (errno == EEXIST) return ioFailure(EEXIST);
        if (const auto r = nameIt(); !r) return r;
    }
    // The link fails when the name is taken, so an existing file is never
    // replaced.
    if (::link(temp_.c_str(), path.c_str()) == 0) return named();
    const int e = errno;
    if (e == EEXIST || (e != EPERM && e != EOPNOTSUPP)) return ioFailure(e);
    // No hard links here (a FAT stick): a rename that refuses to replace.
    if (renameNoReplace(temp_, path) != 0) return ioFailure(errno);
    temp_.clear();
    return named();
}

IoResult PendingFile::replace(const std::string& path) {
    if (fd_ < 0) return ioFailure(EBADF);
    // The hidden name lives only for the moment between link and rename.
    if (const auto r = nameIt(); !r) return r;
    if (::rename(temp_.c_str(), path.c_str()) != 0) return ioFailure(errno);
    temp_.clear();
    discard();
    syncFolder(parentOf(path));
    return {};
}

}  // namespace brim::platform
