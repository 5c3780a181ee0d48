#include "platform/posix/PosixBrowserProfiles.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>

#include "platform/posix/PosixIo.h"
#include "platform/posix/PosixKnownFolders.h"

namespace brim::platform {
namespace {

bool processIsAlive(std::int64_t pid) {
    return pid <= INT_MAX && processAlive(static_cast<pid_t>(pid));
}

}  // namespace

PosixBrowserProfiles::PosixBrowserProfiles() : env_(processEnv), isAlive_(processIsAlive) {}

PosixBrowserProfiles::PosixBrowserProfiles(Environment env, IsAlive isAlive)
    : env_(std::move(env)), isAlive_(std::move(isAlive)) {}

std::vector<BrowserFolder> PosixBrowserProfiles::browserFolders() const {
    std::string home;
    if (auto h = env_("HOME"); h && h->front() == '/') {
        home = *h;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') {
        home = pw->pw_dir;
    } else {
        return {};  // without a home there are no profiles to find
    }
    home = withTrailingSeparator(home);
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base
    // directory specification asks.
    std::string config = home + ".config/";
    if (auto c = env_("XDG_CONFIG_HOME"); c && c->front() == '/') {
        config = withTrailingSeparator(*c);
    }
    const auto firefox = [](std::string folder) {
        return BrowserFolder{BrowserKind::Firefox, withTrailingSeparator(std::move(folder)),
                             "Mozilla Firefox"};
    };
    const auto chromium = [](std::string folder, std::string application) {
        return BrowserFolder{BrowserKind::Chromium, withTrailingSeparator(std::move(folder)),
                             std::move(application)};
    };
    // Recent Firefox keeps new profiles in the XDG configuration folder; the
    // snap and flatpak packages keep theirs in their own homes.
    return {firefox(home + ".mozilla/firefox"),
            firefox(config + "mozilla/firefox"),
            firefox(home + "snap/firefox/common/.mozilla/firefox"),
            firefox(home + ".var/app/org.mozilla.firefox/.mozilla/firefox"),
            chromium(config + "chromium", "Chromium"),
            chromium(home + "snap/chromium/common/chromium", "Chromium"),
            chromium(config + "google-chrome", "Google Chrome")};
}

bool PosixBrowserProfiles::isRunning(BrowserKind kind, const std::string& profile) const {
    const std::string folder = withTrailingSeparator(profile);
    return lockIsLive(folder + (kind == BrowserKind::Firefox ? "lock" : "SingletonLock"));
}

bool PosixBrowserProfiles::lockIsLive(const std::string& lockPath) const {
    char target[PATH_MAX];
    const ssize_t n = readlink(lockPath.c_str(), target, sizeof target - 1);
    if (n <= 0) return false;
    const std::string text(target, static_cast<std::size_t>(n));
    const auto sep = text.find_last_of("+-");
    if (sep == std::string::npos || sep + 1 == text.size()) return false;
    char* end = nullptr;
    const long long pid = std::strtoll(text.c_str() + sep + 1, &end, 10);
    return end && *end == '\0' && isAlive_(pid);
}

}  // namespace brim::platform
