#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <thread>

namespace brim::platform {
namespace {

std::uint32_t attributesFrom(std::string_view name, const struct stat& own,
                             const struct stat* target) {
    std::uint32_t a = 0;
    const struct stat& st = target ? *target : own;
    if (S_ISLNK(own.st_mode)) a |= kReparsePoint;
    if (S_ISDIR(st.st_mode)) {
        a |= kDirectory;
    } else if (!S_ISREG(st.st_mode)) {
        // Devices, pipes and sockets are nothing a favorite can be: marking
        // them as system files keeps every walk from opening them.
        a |= kSystem;
    }
    if (!(st.st_mode & S_IWUSR)) a |= kReadOnly;
    if (!name.empty() && name.front() == '.') a |= kHidden;
    return a;
}

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

// Attributes of `path` (relative to the open folder `dirFd`) whose last
// segment is `name`; nullopt when it vanished. A plain file that is no link
// gives its `stamp` too.
std::optional<std::uint32_t> attributesAt(int dirFd, const char* path, std::string_view name,
                                          FileStamp* stamp = nullptr) {
    struct stat own {};
    if (fstatat(dirFd, path, &own, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (stamp && S_ISREG(own.st_mode)) *stamp = stampOf(own);
    if (S_ISLNK(own.st_mode)) {
        struct stat target {};
        // A dangling link is neither file nor folder.
        if (fstatat(dirFd, path, &target, 0) != 0) return kReparsePoint | kSystem;
        return attributesFrom(name, own, &target);
    }
    return attributesFrom(name, own, nullptr);
}

// Reads the file `name` relative to the folder `dirFd` (or AT_FDCWD) whole;
// with a `stamp`, that of the open file, taken before its first byte is read.
IoResult readAt(int dirFd, const char* name, std::string& out, FileStamp* stamp = nullptr) {
    out.clear();
    // O_NONBLOCK: a pipe put where a file was expected must not hang the walk.
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return ioFailure(errno);
    const auto done = [fd](IoResult r) {
        ::close(fd);
        return r;
    };
    struct stat st {};
    bool examined = false;
    if (stamp) {
        if (fstat(fd, &st) != 0) return done(ioFailure(errno));
        if (!S_ISREG(st.st_mode)) return done({IoError::NotAFile, 0});
        *stamp = stampOf(st);
        examined = true;
    }
    // Nearly every shortcut fits in one small read, so a walk costs one open,
    // one read and one close per file; the file is examined only when larger.
    char first[16384];
    ssize_t n;
    while ((n = ::read(fd, first, sizeof first)) < 0 && errno == EINTR) {
    }
    if (n < 0)
        return done(errno == EISDIR ? IoResult{IoError::NotAFile, EISDIR} : ioFailure(errno));
    out.assign(first, static_cast<std::size_t>(n));
    // An empty read may also come from a pipe; only a full one needs more.
    if (n > 0 && static_cast<std::size_t>(n) < sizeof first) return done({});

    if (!examined && fstat(fd, &st) != 0) return done(ioFailure(errno));
    if (!S_ISREG(st.st_mode)) {
        out.clear();
        return done({IoError::NotAFile, 0});
    }
    if (n == 0) return done({});
    if (static_cast<std::uint64_t>(st.st_size) > FileSystem::kMaxFileBytes) {
        out.clear();
        return done({IoError::TooLarge, 0});
    }
    // Read to the end rather than trusting the size: the file may grow meanwhile.
    std::size_t have = out.size();
    out.resize(std::max<std::size_t>(static_cast<std::size_t>(st.st_size), have) + 1);
    for (;;) {
        if (have == out.size()) {
            if (out.size() > FileSystem::kMaxFileBytes) {
                out.clear();
                return done({IoError::TooLarge, 0});
            }
            out.resize(out.size() * 2);
        }
        n = ::read(fd, out.data() + have, out.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return done(ioFailure(errno));
        }
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    out.resize(have);
    if (have > FileSystem::kMaxFileBytes) {
        out.clear();
        return done({IoError::TooLarge, 0});
    }
    return done({});
}

class PosixFolder final : public OpenFolder {
  public:
    explicit PosixFolder(DIR* dir) : dir_(dir) {}
    ~PosixFolder() override { closedir(dir_); }
    PosixFolder(const PosixFolder&) = delete;
    PosixFolder& operator=(const PosixFolder&) = delete;

    std::optional<std::vector<DirEntry>> entries() override { return listed(true); }
    std::optional<std::vector<DirEntry>> entriesUnstamped() override { return listed(false); }

    IoResult readFile(const std::string& name, std::string& out) override {
        return readAt(dirfd(dir_), name.c_str(), out);
    }

    IoResult readStamped(const std::string& name, std::string& out, FileStamp& stamp) override {
        stamp = {};
        return readAt(dirfd(dir_), name.c_str(), out, &stamp);
    }

  private:
    std::optional<std::vector<DirEntry>> listed(bool stamped) {
        rewinddir(dir_);
        std::vector<DirEntry> list;
        const int fd = dirfd(dir_);
        errno = 0;
        while (const dirent* e = readdir(dir_)) {
            const std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
            if (!stamped && e->d_type == DT_REG) {
                // The listing tells a plain file already; its stamp comes with its read.
                list.push_back({std::string(name), name.front() == '.' ? kHidden : 0u,
                                FileStamp{.deferred = true}});
                errno = 0;
                continue;
            }
            // An entry that vanished between the listing and the query is left out.
            FileStamp stamp;
            if (const auto attrs = attributesAt(fd, e->d_name, name, &stamp)) {
                list.push_back({std::string(name), *attrs, stamp});
            }
            errno = 0;
        }
        if (errno != 0) return std::nullopt;
        std::sort(list.begin(), list.end(),
                  [](const DirEntry& x, const DirEntry& y) { return listsBefore(x.name, y.name); });
        return list;
    }

    DIR* dir_;
};

}  // namespace

std::unique_ptr<OpenFolder> PosixFileSystem::openFolder(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return nullptr;
    return std::make_unique<PosixFolder>(dir);
}

std::optional<std::uint32_t> PosixFileSystem::attributes(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return attributesAt(AT_FDCWD, p.c_str(), p.substr(p.find_last_of('/') + 1));
}

IoResult PosixFileSystem::readFile(const std::string& path, std::string& out) {
    return readAt(AT_FDCWD, path.c_str(), out);
}

IoResult PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    // Write through a symbolic link, so that the link stays a link.
    std::string target = path;
    struct stat own {};
    if (lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved)) return ioFailure(errno);
        target = resolved;
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return ioFailure(errno);
    if (exists) {
        if (!S_ISREG(st.st_mode)) return {IoError::NotAFile, 0};
        if (!(st.st_mode & S_IWUSR)) return {IoError::ReadOnly, 0};
    }

    PendingFile pending;
    if (const auto r = pending.write(parentOf(target), bytes, exists ? st.st_mode & 0777 : 0666);
        !r)
        return r;
    if (exists) {
        // The exact permissions, also the bits the umask took away.
        if (const auto r = pending.takeModeOf(st); !r) return r;
    }
    return pending.replace(target);
}

IoResult PosixFileSystem::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return {};
    const int e = errno;
    struct stat st {};
    if (e == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {};
    return e == EEXIST ? IoResult{IoError::NotAFile, e} : ioFailure(e);
}

IoResult PosixFileSystem::createNewFile(const std::string& path, std::string_view bytes) {
    // Written first and then linked to its name: the link fails when the name
    // is taken, and a failed write leaves nothing.
    PendingFile pending;
    if (const auto r = pending.write(parentOf(path), bytes); !r) return r;
    return pending.linkAs(path);
}

namespace {

// Each file's bytes are still flushed before it gets its name, so that a
// crash never leaves an empty or partial file behind; only the scan for
// leftovers and the flush of the folder's entries, which cost as much
// again, are done once for the series rather than once a file.
class PosixNewFiles final : public NewFiles {
  public:
    explicit PosixNewFiles(const std::string& folder)
        : folder_(folder), dir_(parentOf(folder + "x")) {
        removeStaleTemporaries(dir_, "tmp");
    }
    ~PosixNewFiles() override { finish(); }
    PosixNewFiles(const PosixNewFiles&) = delete;
    PosixNewFiles& operator=(const PosixNewFiles&) = delete;

    IoResult create(const std::string& name, std::string_view bytes) override {
        PendingFile pending;
        if (const auto r = pending.write(dir_, bytes, 0666, false); !r) return r;
        const auto r = pending.linkAs(folder_ + name, false);
        if (r) unflushed_ = true;
        return r;
    }
    void finish() override {
        if (unflushed_) syncFolder(dir_);
        unflushed_ = false;
    }

  private:
    std::string folder_;  // ending in "/"
    std::string dir_;     // without it
    bool unflushed_ = false;
};

}  // namespace

std::unique_ptr<NewFiles> PosixFileSystem::newFilesIn(const std::string& folder) {
    return std::make_unique<PosixNewFiles>(folder);
}

namespace {

class FolderLock final : public UpdateLock {
  public:
    explicit FolderLock(int fd) : fd_(fd) {}
    ~FolderLock() override { ::close(fd_); }  // closing releases the lock
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_;
};

}  // namespace

LockAttempt PosixFileSystem::lockForUpdate(const std::string& path) {
    // The folder is locked, not the file: the file is replaced by a new one.
    const int fd = ::open(parentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {nullptr, ioFailure(errno)};
    // Polled rather than blocking, so that a program that hangs while holding
    // the lock cannot hang us too. Polled often: another program saving in a
    // loop frees the lock only for microseconds between its saves, and rare
    // polls would miss every such gap and report busy without need.
    const auto until = std::chrono::steady_clock::now() + lockWait_;
    const auto pause = std::chrono::milliseconds(1);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        if (e == EINTR) continue;
        if (e != EWOULDBLOCK) {
            ::close(fd);
            return {nullptr, ioFailure(e)};
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) {
            ::close(fd);
            return {nullptr, {IoError::Busy, e}};
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, until - now));
    }
    return {std::make_unique<FolderLock>(fd), {}};
}

std::optional<std::int64_t> PosixFileSystem::modificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

IoResult PosixFileSystem::renameNew(const std::string& from, const std::string& to) {
    if (renameNoReplace(from, to) == 0) return {};
    return errno == EEXIST ? IoResult{IoError::Exists, EEXIST} : ioFailure(errno);
}

IoResult PosixFileSystem::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return {};
    return ioFailure(errno);
}

IoResult PosixFileSystem::removeFolder(const std::string& path) {
    if (::rmdir(path.c_str()) == 0) return {};
    return ioFailure(errno);
}

}  // namespace brim::platform
