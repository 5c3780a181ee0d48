#include "platform/posix/InotifyTreeWatcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <thread>
#include <utility>

#include "platform/NativePaths.h"
#include "platform/WatchBatch.h"
#include "platform/posix/PosixIo.h"

namespace brim::platform {
namespace {

constexpr std::uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

class InotifyWatch final : public TreeWatch {
  public:
    InotifyWatch(std::string root, TreeListener& listener, WatchPace pace, std::size_t maxFolders)
        : root_(std::move(root)), listener_(listener), batch_(pace), maxFolders_(maxFolders) {}

    ~InotifyWatch() override {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            // An eventfd's counter cannot overflow from one write; the wake
            // is never lost, whatever the thread is doing.
            [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
            thread_.join();
        }
        if (wake_ >= 0) ::close(wake_);
        if (in_ >= 0) ::close(in_);
    }

    IoResult start() {
        struct stat st {};
        // Without its "/", so that a file is told from a missing folder.
        const std::string bare = NativePaths(PathStyle::Posix).withoutTrailingSeparator(root_);
        if (::stat(bare.c_str(), &st) != 0) return ioFailure(errno);
        if (!S_ISDIR(st.st_mode)) return {IoError::NotAFile, ENOTDIR};
        in_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (in_ < 0) return startFailure(errno);
        wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) return startFailure(errno);
        // The root may be reached through a link; nothing below it is.
        const int wd = ::inotify_add_watch(in_, root_.c_str(), kMask);
        if (wd < 0) return startFailure(errno);
        folders_[wd] = std::string();
        scanBelow(std::string(), nullptr);
        thread_ = std::thread([this] { run(); });
        return {};
    }

  private:
    // A full table of watches or instances is not a full disk.
    static IoResult startFailure(int e) {
        if (e == ENOSPC || e == EMFILE) return {IoError::Other, e};
        return ioFailure(e);
    }

    void run() {
        alignas(struct inotify_event) char buf[64 * 1024];
        for (;;) {
            const auto wait = batch_.untilDue();
            pollfd fds[2] = {{wake_, POLLIN, 0}, {in_, POLLIN, 0}};
            const int n = ::poll(fds, ended_ ? 1 : 2, wait ? static_cast<int>(wait->count()) : -1);
            if (n < 0 && errno != EINTR) return;
            if (fds[0].revents != 0) return;
            if (!ended_ && (fds[1].revents & POLLIN)) {
                for (;;) {
                    const ssize_t got = ::read(in_, buf, sizeof buf);
                    if (got <= 0) break;
                    for (ssize_t at = 0; at < got && !ended_;) {
                        const auto* e = reinterpret_cast<const struct inotify_event*>(buf + at);
                        handle(*e);
                        at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
                    }
                }
            }
            batch_.deliverIfDue(listener_);
        }
    }

    void handle(const struct inotify_event& e) {
        if (e.mask & IN_Q_OVERFLOW) {
            batch_.lose(WatchLoss::Overflow);
            // Folders made while events were dropped have no watch yet, and
            // moved ones are known by their old paths: look again.
            scanBelow(std::string(), nullptr);
            return;
        }
        const auto it = folders_.find(e.wd);
        // A folder's watch that was dropped before its last events were read.
        if (it == folders_.end()) return;
        const std::string folder = it->second;
        if (e.mask & IN_IGNORED) {
            folders_.erase(it);
            if (folder.empty()) end();
            return;
        }
        if (e.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
            // A folder below the root is told of by its parent as well.
            if (folder.empty()) end();
            return;
        }
        if (e.len == 0 || e.name[0] == '\0') return;
        batch_.add(root_ + folder);
        if (!(e.mask & IN_ISDIR)) return;
        const std::string sub = folder + e.name + '/';
        if (e.mask & (IN_MOVED_FROM | IN_DELETE)) {
            drop(sub, (e.mask & IN_MOVED_FROM) != 0);
        } else if (e.mask & (IN_CREATE | IN_MOVED_TO)) {
            // Its files and folders may be there before its watch is.
            std::vector<std::string> appeared;
            if (add(sub)) {
                appeared.push_back(sub);
                scanBelow(sub, &appeared);
            }
            for (auto& f : appeared)
                batch_.add(root_ + f);
        }
    }

    void end() {
        batch_.lose(WatchLoss::Ended);
        ended_ = true;
    }

    // Watches the folder `sub` (relative, ending in "/"); false when it has
    // gone or cannot be watched.
    bool add(const std::string& sub) {
        if (folders_.size() >= maxFolders_) {
            batch_.lose(WatchLoss::Incomplete);
            return false;
        }
        const std::string path = root_ + sub;
        const int wd = ::inotify_add_watch(in_, path.c_str(), kMask | IN_DONT_FOLLOW);
        if (wd < 0) {
            if (errno == ENOSPC || errno == ENOMEM) batch_.lose(WatchLoss::Incomplete);
            return false;
        }
        // A folder watched already (found again after an overflow, or moved)
        // keeps its watch, under its path now.
        folders_[wd] = sub;
        return true;
    }

    // Watches every folder below `folder` that is not a link, and lists
    // each in `appeared` when given.
    void scanBelow(const std::string& folder, std::vector<std::string>* appeared) {
        std::vector<std::string> todo{folder};
        while (!todo.empty()) {
            const std::string at = std::move(todo.back());
            todo.pop_back();
            DIR* d = ::opendir((root_ + at).c_str());
            if (!d) continue;
            while (const dirent* ent = ::readdir(d)) {
                const std::string name = ent->d_name;
                if (name == "." || name == "..") continue;
                bool isFolder = ent->d_type == DT_DIR;
                if (ent->d_type == DT_UNKNOWN) {
                    struct stat st {};
                    isFolder = ::fstatat(::dirfd(d), ent->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                               S_ISDIR(st.st_mode);
                }
                if (!isFolder) continue;
                const std::string sub = at + name + '/';
                if (!add(sub)) continue;
                if (appeared) appeared->push_back(sub);
                todo.push_back(sub);
            }
            ::closedir(d);
        }
    }

    // Forgets the watches of `sub` and of every folder below it; a folder
    // moved away is still watched by the system until told otherwise.
    void drop(const std::string& sub, bool remove) {
        for (auto it = folders_.begin(); it != folders_.end();) {
            if (it->second.compare(0, sub.size(), sub) == 0) {
                if (remove) ::inotify_rm_watch(in_, it->first);
                it = folders_.erase(it);
            } else {
                ++it;
            }
        }
    }

    const std::string root_;  // ends in "/"
    TreeListener& listener_;
    WatchBatch batch_;
    const std::size_t maxFolders_;
    int in_ = -1;
    int wake_ = -1;
    // Watch descriptor → folder below the root, "" for the root, else ending in "/".
    std::map<int, std::string> folders_;
    bool ended_ = false;
    std::thread thread_;
};

}  // namespace

WatchStart InotifyTreeWatcher::watch(const std::string& root, TreeListener& listener,
                                     WatchPace pace) {
    std::string folder = root;
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    auto w = std::make_unique<InotifyWatch>(folder, listener, pace, maxFolders_);
    const IoResult status = w->start();
    if (!status) return {nullptr, status};
    return {std::move(w), status};
}

}  // namespace brim::platform
