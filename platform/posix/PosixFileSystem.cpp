#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace brim::platform {
namespace {

std::uint32_t attributesFrom(std::string_view name, const struct stat& own,
                             const struct stat* target) {
    std::uint32_t a = 0;
    const struct stat& st = target ? *target : own;
    if (S_ISLNK(own.st_mode))
        a |= kReparsePoint;
    if (S_ISDIR(st.st_mode)) {
        a |= kDirectory;
    } else if (!S_ISREG(st.st_mode)) {
        // Devices, pipes and sockets are nothing a favorite can be: marking
        // them as system files keeps every walk from opening them.
        a |= kSystem;
    }
    if (!(st.st_mode & S_IWUSR))
        a |= kReadOnly;
    if (!name.empty() && name.front() == '.')
        a |= kHidden;
    return a;
}

// Attributes of `name` inside the open folder `dirFd`; nullopt when it vanished.
std::optional<std::uint32_t> attributesAt(int dirFd, const char* name) {
    struct stat own {};
    if (fstatat(dirFd, name, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (S_ISLNK(own.st_mode)) {
        struct stat target {};
        // A dangling link is neither file nor folder.
        if (fstatat(dirFd, name, &target, 0) != 0)
            return kReparsePoint | kSystem;
        return attributesFrom(name, own, &target);
    }
    return attributesFrom(name, own, nullptr);
}

IoError errorFromErrno(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return IoError::NotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return IoError::Denied;
        case ENOSPC:
        case EDQUOT:
            return IoError::NoSpace;
        case EISDIR:
            return IoError::NotAFile;
        default:
            return IoError::Other;
    }
}

IoResult failure(int e) {
    return {errorFromErrno(e), e};
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool listsBefore(std::string_view a, std::string_view b) {
    const auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ua = upper(static_cast<unsigned char>(a[i]));
        const int ub = upper(static_cast<unsigned char>(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::optional<std::vector<DirEntry>> PosixFileSystem::listFolder(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<DirEntry> entries;
    const int fd = dirfd(dir);
    errno = 0;
    while (const dirent* e = readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        // An entry that vanished between the listing and the query is left out.
        if (const auto attrs = attributesAt(fd, e->d_name)) {
            entries.push_back({std::string(name), *attrs});
        }
        errno = 0;
    }
    const bool failed = errno != 0;
    closedir(dir);
    if (failed)
        return std::nullopt;
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& x, const DirEntry& y) { return listsBefore(x.name, y.name); });
    return entries;
}

std::optional<std::uint32_t> PosixFileSystem::attributes(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const auto slash = p.find_last_of('/');
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    const int at = AT_FDCWD;
    struct stat own {};
    if (fstatat(at, p.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (S_ISLNK(own.st_mode)) {
        struct stat target {};
        if (stat(p.c_str(), &target) != 0)
            return kReparsePoint | kSystem;
        return attributesFrom(name, own, &target);
    }
    return attributesFrom(name, own, nullptr);
}

IoResult PosixFileSystem::readFile(const std::string& path, std::string& out) {
    out.clear();
    // O_NONBLOCK: a pipe put where a file was expected must not hang the walk.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(errno);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return failure(e);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return {IoError::NotAFile, 0};
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
        ::close(fd);
        return {IoError::TooLarge, 0};
    }
    // Read to the end rather than trusting the size: the file may grow meanwhile.
    std::size_t have = 0;
    out.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        if (have == out.size()) {
            if (out.size() > kMaxFileBytes) {
                ::close(fd);
                out.clear();
                return {IoError::TooLarge, 0};
            }
            out.resize(out.size() * 2);
        }
        const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            out.clear();
            return failure(e);
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.resize(have);
    return {};
}

IoResult PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    // Write through a symbolic link, so that the link stays a link.
    std::string target = path;
    struct stat own {};
    if (lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved))
            return failure(errno);
        target = resolved;
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno);
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return {IoError::NotAFile, 0};
        if (!(st.st_mode & S_IWUSR))
            return {IoError::ReadOnly, 0};
    }

    const std::string folder = parentOf(target);
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // Hidden, so that no walk lists it if a crash leaves it behind.
        temp = folder + "/.brimmark-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
               ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (fd < 0)
        return failure(EEXIST);

    const auto abandon = [&](int e) {
        ::close(fd);
        ::unlink(temp.c_str());
        return failure(e);
    };
    if (exists) {
        if (fchmod(fd, st.st_mode & 07777) != 0)
            return abandon(errno);
        if (geteuid() == 0) {
            // Root writing a user's file leaves it owned by the user.
            [[maybe_unused]] const int ignored = fchown(fd, st.st_uid, st.st_gid);
        }
    }
    if (!writeAll(fd, bytes))
        return abandon(errno);
    if (fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return failure(e);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return failure(e);
    }
    // Make the rename itself durable; a failure here no longer loses data.
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        ::close(dfd);
    }
    return {};
}

IoResult PosixFileSystem::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0)
        return {};
    const int e = errno;
    struct stat st {};
    if (e == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return {};
    return e == EEXIST ? IoResult{IoError::NotAFile, e} : failure(e);
}

}  // namespace brim::platform
