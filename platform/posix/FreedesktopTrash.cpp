#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/PosixIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace brim::platform {
namespace {

// mkdir -p, private, as the freedesktop.org trash asks.
bool makeFolders(const std::string& path) {
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = at == std::string::npos ? path : path.substr(0, at);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (at == std::string::npos) return true;
    }
}

// Copies a regular file for a move across file systems; the copy is flushed
// before the original may go.
IoResult copyFile(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return ioFailure(errno);
    struct stat st {};
    fstat(in, &st);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return ioFailure(e);
    }
    char buf[65536];
    ssize_t n;
    bool ok = true;
    while ((n = ::read(in, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || !writeAll(out, std::string_view(buf, static_cast<std::size_t>(n)))) {
            ok = false;
            break;
        }
    }
    const int e = errno;
    ok = ok && fsync(out) == 0;
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) {
        ::unlink(to.c_str());
        return ioFailure(e ? e : EIO);
    }
    return {};
}

}  // namespace

std::string percentEncodePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                          (u >= '0' && u <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                          c == '~';
        if (keep) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        }
    }
    return out;
}

FreedesktopTrash::FreedesktopTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    dataHome_ = data && *data == '/' ? data : std::string(home ? home : "") + "/.local/share";
}

IoResult FreedesktopTrash::moveToTrash(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return ioFailure(errno);
    if (S_ISDIR(st.st_mode)) return {IoError::NotAFile, EISDIR};
    const std::string trash = dataHome_ + "/Trash";
    if (!makeFolders(trash + "/files") || !makeFolders(trash + "/info")) return ioFailure(errno);

    // The info file, created exclusively, reserves the name in the trash.
    const std::string base = path.substr(path.find_last_of('/') + 1);
    std::string name, info;
    int fd = -1;
    for (int n = 1; fd < 0; ++n) {
        if (n > 10000) return ioFailure(EEXIST);
        if (n == 1) {
            name = base;
        } else {
            const auto dot = base.find_last_of('.');
            name = dot == std::string::npos || dot == 0
                       ? base + "." + std::to_string(n)
                       : base.substr(0, dot) + "." + std::to_string(n) + base.substr(dot);
        }
        info = trash + "/info/" + name + ".trashinfo";
        struct stat taken {};
        if (lstat((trash + "/files/" + name).c_str(), &taken) == 0) continue;
        fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return ioFailure(errno);
    }
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string text =
        "[Trash Info]\nPath=" + percentEncodePath(path) + "\nDeletionDate=" + when + "\n";
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    if (!written) {
        ::unlink(info.c_str());
        return ioFailure(writeError);
    }

    const std::string target = trash + "/files/" + name;
    if (::rename(path.c_str(), target.c_str()) == 0) return {};
    const int e = errno;
    IoResult result = ioFailure(e);
    if (e == EXDEV && S_ISREG(st.st_mode)) {
        result = copyFile(path, target);
        if (result && ::unlink(path.c_str()) != 0) {
            result = ioFailure(errno);
            ::unlink(target.c_str());
        }
        if (result) return result;
    }
    ::unlink(info.c_str());
    return result;
}

}  // namespace brim::platform
