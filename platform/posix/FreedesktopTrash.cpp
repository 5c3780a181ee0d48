#include "platform/posix/FreedesktopTrash.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/posix/PosixIo.h"

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

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// A trash folder of ours: a real folder (not a link someone put there) that
// belongs to us.
bool ownFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

std::string deletionDate() {
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    return when;
}

std::string infoText(const std::string& pathValue) {
    return "[Trash Info]\nPath=" + percentEncodePath(pathValue) +
           "\nDeletionDate=" + deletionDate() + "\n";
}

// Reads a small file whole; false when it cannot be read or is not small.
bool readSmall(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    out.clear();
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || out.size() > 65536) {
            ::close(fd);
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// Creates `path` exclusively with `text`, flushed; nothing is left on failure.
IoResult createWith(const std::string& path, std::string_view text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return ioFailure(errno);
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const int e = errno;
    if (::close(fd) != 0 || !written) {
        const int closeError = errno;
        ::unlink(path.c_str());
        return ioFailure(written ? closeError : e);
    }
    return {};
}

// Reads up to `size` bytes, going on after interruptions; the count read.
ssize_t readFull(int fd, char* buf, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        const ssize_t n = ::read(fd, buf + have, size - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(have);
}

// Whether the file `copy` holds the same bytes as `original` (with
// `prefixOnly`, the first bytes of it, as an interrupted copy does).
bool sameBytes(const std::string& copy, const std::string& original, bool prefixOnly) {
    const int a = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int b = ::open(original.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool same = a >= 0 && b >= 0;
    static constexpr std::size_t kChunk = 65536;
    std::vector<char> x(kChunk), y(kChunk);
    while (same) {
        const ssize_t n = readFull(a, x.data(), kChunk);
        const ssize_t m = readFull(b, y.data(), kChunk);
        if (n < 0 || m < 0) {
            same = false;
        } else if (n == 0) {
            same = prefixOnly || m == 0;
            break;
        } else {
            same = n <= m && std::memcmp(x.data(), y.data(), static_cast<std::size_t>(n)) == 0 &&
                   (n == m || prefixOnly);
            if (n < m) break;
        }
    }
    if (a >= 0) ::close(a);
    if (b >= 0) ::close(b);
    return same;
}

// Copies the regular file `from` into the new file `to`, flushed to the disk.
// A partial copy is removed.
IoResult copyFile(const std::string& from, const std::string& to, mode_t mode) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0) return ioFailure(errno);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return ioFailure(e);
    }
    std::vector<char> buf(65536);
    ssize_t n;
    bool ok = true;
    errno = 0;
    while ((n = ::read(in, buf.data(), buf.size())) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || !writeAll(out, std::string_view(buf.data(), static_cast<std::size_t>(n)))) {
            ok = false;
            break;
        }
    }
    ok = ok && fsync(out) == 0;
    const int e = errno;
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) {
        ::unlink(to.c_str());
        return ioFailure(e ? e : EIO);
    }
    return {};
}

// Puts a claimed file back under its name. When a save has put a new file
// there meanwhile, that newer file stays, and the claimed one is kept beside
// it under a free visible name ("Name (2).url"), so that neither is lost.
bool putBack(const std::string& claimed, const std::string& original) {
    if (renameNoReplace(claimed, original) == 0) return true;
    if (errno != EEXIST) return false;
    const auto slash = original.find_last_of('/');
    const auto dot = original.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > slash + 1;
    const std::string stem = hasExtension ? original.substr(0, dot) : original;
    const std::string extension = hasExtension ? original.substr(dot) : std::string();
    for (int n = 2; n < 1000; ++n) {
        const std::string other = stem + " (" + std::to_string(n) + ")" + extension;
        if (renameNoReplace(claimed, other) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// One move into a trash, as its journal records it.
struct Plan {
    std::string kind;      // "move" (by rename) or "copy"
    std::string original;  // the file's absolute path
    std::string claimed;   // the file's hidden name while it is copied
    std::string trash;     // the trash folder, holding files/ and info/
    std::string name;      // the file's name in files/
    std::string info;      // the .trashinfo text
    std::string files() const { return trash + "/files/" + name; }
    std::string infoPath() const { return trash + "/info/" + name + ".trashinfo"; }
};

constexpr std::string_view kJournalHeader = "brimmark-trash 1";

std::string journalText(const Plan& p) {
    std::string text(kJournalHeader);
    for (const std::string* field : {&p.kind, &p.original, &p.claimed, &p.trash, &p.name, &p.info})
        text += "\n" + percentEncodePath(*field);
    return text + "\nend\n";
}

// nullopt for a journal cut short by a kill while it was written (nothing
// else of that move was done yet then).
std::optional<Plan> parseJournal(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find('\n', at);
        if (end == std::string_view::npos) return std::nullopt;
        lines.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    if (lines.size() != 8 || lines.front() != kJournalHeader || lines.back() != "end")
        return std::nullopt;
    Plan p;
    std::string* fields[] = {&p.kind, &p.original, &p.claimed, &p.trash, &p.name, &p.info};
    for (std::size_t i = 0; i < 6; ++i) {
        auto decoded = percentDecode(lines[i + 1]);
        if (!decoded) return std::nullopt;
        *fields[i] = std::move(*decoded);
    }
    if ((p.kind != "move" && p.kind != "copy") || p.original.empty() || p.trash.empty() ||
        p.name.empty() || p.name.find('/') != std::string::npos)
        return std::nullopt;
    if (p.kind == "copy" && p.claimed.empty()) return std::nullopt;
    return p;
}

// The name `base` takes in the trash at the n-th try: "a.url", "a.2.url", …
std::string trashName(const std::string& base, int n) {
    if (n == 1) return base;
    const auto dot = base.find_last_of('.');
    return dot == std::string::npos || dot == 0
               ? base + "." + std::to_string(n)
               : base.substr(0, dot) + "." + std::to_string(n) + base.substr(dot);
}

// Picks a free name in the trash, writes the journal and then creates the
// .trashinfo exclusively. `journaled` runs between the two (false: stop).
IoResult announce(Plan& plan, std::string& journal, const std::string& journalFolder,
                  const std::function<bool()>& journaled) {
    const std::string base = plan.original.substr(plan.original.find_last_of('/') + 1);
    for (int n = 1; n <= 10000; ++n) {
        plan.name = trashName(base, n);
        if (exists(plan.files()) || exists(plan.infoPath())) continue;
        journal = temporaryName(journalFolder, "journal");
        if (const auto r = createWith(journal, journalText(plan)); !r) return r;
        if (!journaled()) {
            ::unlink(journal.c_str());
            return ioFailure(EIO);
        }
        const auto r = createWith(plan.infoPath(), plan.info);
        if (r) return r;
        ::unlink(journal.c_str());
        // Another program took the name after we looked: the next one.
        if (r.error != IoError::Exists) return r;
    }
    return ioFailure(EEXIST);
}

// Removes the .trashinfo of a move that did not happen, if it is still the
// one this move wrote, whole or cut short by the kill.
void withdrawInfo(const Plan& plan) {
    std::string text;
    if (readSmall(plan.infoPath(), text) && plan.info.compare(0, text.size(), text) == 0)
        ::unlink(plan.infoPath().c_str());
}

// Finishes or undoes one move of a killed process; false when something is
// left to do at a later try.
bool recover(const Plan& plan) {
    if (plan.kind == "copy" && exists(plan.claimed)) {
        // Killed before the original went: the move is undone. A copy there is
        // ours only when it matches the original, fully or in part.
        if (exists(plan.files()) && sameBytes(plan.files(), plan.claimed, true))
            ::unlink(plan.files().c_str());
        if (!exists(plan.files())) withdrawInfo(plan);
        return putBack(plan.claimed, plan.original);
    }
    // The file is in the trash (the move is done), or it never left.
    if (!exists(plan.files())) withdrawInfo(plan);
    return true;
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

std::optional<std::string> percentDecode(std::string_view text) {
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int hi = hex(text[i + 1]), lo = hex(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

void recoverInterruptedMoves(const std::string& dataHome) {
    const std::string folder = dataHome + "/Trash/info";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> journals;
    const pid_t self = getpid();
    while (const dirent* e = readdir(dir)) {
        const pid_t owner = temporaryOwner(e->d_name, "journal");
        // Our own journals belong to moves running in other threads.
        if (owner != 0 && owner != self && !processAlive(owner))
            journals.push_back(folder + "/" + e->d_name);
    }
    closedir(dir);
    for (const auto& journal : journals) {
        std::string text;
        if (!readSmall(journal, text)) continue;
        const auto plan = parseJournal(text);
        if (!plan || recover(*plan)) ::unlink(journal.c_str());
    }
}

FreedesktopTrash::FreedesktopTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    dataHome_ = data && *data == '/' ? data : std::string(home ? home : "") + "/.local/share";
}

IoResult FreedesktopTrash::moveByRename(const std::string& trash, const std::string& original,
                                        const std::string& pathValue) {
    if (!makeFolders(trash + "/files") || !makeFolders(trash + "/info")) return ioFailure(errno);
    Plan plan{"move", original, {}, trash, {}, infoText(pathValue)};
    std::string journal;
    if (const auto r = announce(plan, journal, homeTrash() + "/info",
                                [this] { return step(Step::Journaled); });
        !r)
        return r;
    const auto undo = [&](int e) {
        ::unlink(plan.infoPath().c_str());
        ::unlink(journal.c_str());
        return ioFailure(e);
    };
    if (!step(Step::InfoWritten)) return undo(EIO);
    // NOREPLACE: a file another program put there after we looked stays.
    if (renameNoReplace(original, plan.files()) != 0) return undo(errno);
    syncFolder(trash + "/files");
    syncFolder(parentOf(original));
    static_cast<void>(step(Step::Moved));
    ::unlink(journal.c_str());
    return {};
}

IoResult FreedesktopTrash::moveByCopy(const std::string& original, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return ioFailure(EXDEV);
    const std::string trash = homeTrash();
    Plan plan{"copy", original, temporaryName(parentOf(original), "claimed"),
              trash,  {},       infoText(original)};
    std::string journal;
    if (const auto r =
            announce(plan, journal, trash + "/info", [this] { return step(Step::Journaled); });
        !r)
        return r;
    const auto forget = [&](int e) {
        ::unlink(plan.infoPath().c_str());
        ::unlink(journal.c_str());
        return ioFailure(e);
    };
    if (!step(Step::InfoWritten)) return forget(EIO);
    // Claimed under a hidden name, nothing can open the file by its name and
    // write into it while it is copied; a save meanwhile makes a new file.
    if (renameNoReplace(original, plan.claimed) != 0) return forget(errno);
    const auto restore = [&](IoResult why) {
        ::unlink(plan.files().c_str());
        // Should even the way back fail, the file lies safe under its hidden
        // name, and the journal stays for a later run to put it back.
        if (!putBack(plan.claimed, original)) return why;
        return forget(why.sysError ? why.sysError : EIO);
    };
    if (!step(Step::Claimed)) return restore(ioFailure(EIO));
    if (const auto r = copyFile(plan.claimed, plan.files(), st.st_mode); !r) {
        // The copy was removed; a name taken meanwhile is not ours to remove.
        if (!putBack(plan.claimed, original)) return r;
        return forget(r.sysError ? r.sysError : EIO);
    }
    if (!step(Step::Copied)) return restore(ioFailure(EIO));
    if (!sameBytes(plan.files(), plan.claimed, false)) return restore(ioFailure(EIO));
    if (!step(Step::Compared)) return restore(ioFailure(EIO));
    syncFolder(trash + "/files");
    if (::unlink(plan.claimed.c_str()) != 0) return restore(ioFailure(errno));
    syncFolder(parentOf(original));
    static_cast<void>(step(Step::Moved));
    ::unlink(journal.c_str());
    return {};
}

IoResult FreedesktopTrash::moveToTrash(const std::string& path) {
    if (path.empty()) return ioFailure(ENOENT);
    std::string original = path;
    if (original.front() != '/') {
        // The trash needs the full path to restore to.
        char here[PATH_MAX];
        if (!getcwd(here, sizeof here)) return ioFailure(errno);
        original = std::string(here) + "/" + path;
    }
    struct stat st {};
    if (lstat(original.c_str(), &st) != 0) return ioFailure(errno);
    if (S_ISDIR(st.st_mode)) return {IoError::NotAFile, EISDIR};
    const std::string home = homeTrash();
    if (!makeFolders(home + "/files") || !makeFolders(home + "/info")) return ioFailure(errno);
    recoverInterruptedMoves(dataHome_);

    struct stat homeSt {};
    if (::stat(home.c_str(), &homeSt) != 0) return ioFailure(errno);
    if (homeSt.st_dev == st.st_dev) {
        const auto r = moveByRename(home, original, original);
        // A bind mount shares the device number but not renames.
        if (r || r.sysError != EXDEV) return r;
    }

    // Another file system: its own trash, found at its top folder.
    char real[PATH_MAX];
    if (!realpath(parentOf(original).c_str(), real)) return ioFailure(errno);
    std::string topdir = real;
    struct stat level {};
    if (::stat(topdir.c_str(), &level) != 0) return ioFailure(errno);
    const dev_t device = level.st_dev;
    while (topdir != "/") {
        const std::string up = parentOf(topdir);
        if (::stat(up.c_str(), &level) != 0 || level.st_dev != device) break;
        topdir = up;
    }
    const std::string top = topdir == "/" ? std::string() : topdir;
    const std::string realPath = std::string(real) + original.substr(original.find_last_of('/'));
    const std::string relative = realPath.substr(top.size() + 1);
    const std::string uid = std::to_string(getuid());
    std::vector<std::string> trashes;
    struct stat shared {};
    // $topdir/.Trash is shared by all users only when it is sticky; a link
    // there could lead anywhere.
    if (lstat((top + "/.Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX)) {
        const std::string mine = top + "/.Trash/" + uid;
        ::mkdir(mine.c_str(), 0700);
        if (ownFolder(mine)) trashes.push_back(mine);
    }
    const std::string own = top + "/.Trash-" + uid;
    ::mkdir(own.c_str(), 0700);
    if (ownFolder(own)) trashes.push_back(own);
    for (const auto& trash : trashes) {
        struct stat t {};
        if (::stat(trash.c_str(), &t) != 0 || t.st_dev != st.st_dev) continue;
        const auto r = moveByRename(trash, original, relative);
        if (r || r.error == IoError::NotFound) return r;
    }
    // No trash of its own can take it: a copy into the home trash.
    return moveByCopy(original, st);
}

}  // namespace brim::platform
