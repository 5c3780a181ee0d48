#include "core/Sessions.h"

#include <algorithm>
#include <optional>

#include "core/SessionFiles.h"
#include "platform/NativePaths.h"

namespace brim::core {
namespace {

using platform::BrowserPage;
using platform::DirEntry;

std::string inFolder(std::string path) {
    const auto paths = platform::NativePaths::native();
    // Firefox writes "Profiles/x.default" on Windows too: the path is shown
    // in messages and compared, so it takes the system's own separators.
    std::replace_if(
        path.begin(), path.end(), [&](char c) { return paths.isSeparator(c); }, paths.separator());
    while (path.size() > 1 && paths.isSeparator(path.back()))
        path.pop_back();
    return path + paths.separator();
}

std::string describe(const platform::IoResult& r) {
    switch (r.error) {
        case platform::IoError::NotFound:
            return "not found";
        case platform::IoError::Denied:
            return "access denied";
        case platform::IoError::TooLarge:
            return "too large to be a session file";
        case platform::IoError::NotAFile:
            return "not a file";
        default:
            return "cannot be read (error " + std::to_string(r.sysError) + ")";
    }
}

}  // namespace

namespace {

struct FirefoxProfiles {
    std::vector<std::string> folders;
    std::size_t defaultIndex = 0;  // the profile Firefox starts with
};

// Profiles are sections [ProfileN] with Path= and IsRelative=; the one
// marked Default=1 is started, unless an [Install…] section names another
// with its Default= path.
FirefoxProfiles ParseProfilesIni(std::string_view profilesIni, const std::string& firefoxFolder) {
    FirefoxProfiles out;
    std::string path, installDefault;
    std::vector<std::string> rawPaths;
    bool inProfile = false, inInstall = false, relative = true, marked = false;
    std::optional<std::size_t> markedIndex;
    const auto flush = [&] {
        if (inProfile && !path.empty()) {
            if (marked && !markedIndex) markedIndex = out.folders.size();
            rawPaths.push_back(path);
            out.folders.push_back(inFolder(relative ? firefoxFolder + path : path));
        }
        path.clear();
        relative = true;
        marked = false;
    };
    while (!profilesIni.empty()) {
        const auto end = profilesIni.find_first_of("\r\n");
        const std::string_view line = profilesIni.substr(0, end);
        profilesIni.remove_prefix(end == std::string_view::npos ? profilesIni.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            flush();
            inProfile = line.starts_with("[Profile");
            inInstall = line.starts_with("[Install");
        } else if (inInstall && line.starts_with("Default=") && installDefault.empty()) {
            installDefault = line.substr(8);
        } else if (line.starts_with("Path=")) {
            path = line.substr(5);
        } else if (line.starts_with("IsRelative=")) {
            relative = line.substr(11) != "0";
        } else if (line == "Default=1") {
            marked = true;
        }
    }
    flush();
    const auto named = std::find(rawPaths.begin(), rawPaths.end(), installDefault);
    if (!installDefault.empty() && named != rawPaths.end()) {
        out.defaultIndex = static_cast<std::size_t>(named - rawPaths.begin());
    } else if (markedIndex) {
        out.defaultIndex = *markedIndex;
    }
    return out;
}

}  // namespace

std::vector<std::string> FirefoxProfileFolders(std::string_view profilesIni,
                                               const std::string& firefoxFolder) {
    return ParseProfilesIni(profilesIni, firefoxFolder).folders;
}

std::optional<std::string> DefaultFirefoxProfile(std::string_view profilesIni,
                                                 const std::string& firefoxFolder) {
    FirefoxProfiles p = ParseProfilesIni(profilesIni, firefoxFolder);
    if (p.folders.empty()) return std::nullopt;
    return std::move(p.folders[p.defaultIndex]);
}

template <typename Reader>
void SessionPageSource::addFile(const std::string& path, Reader read,
                                std::vector<BrowserPage>& out) {
    std::string bytes;
    if (const auto r = fs_.readFile(path, bytes); !r) {
        // A running browser without a session file has simply not written one yet.
        if (r.error != platform::IoError::NotFound) skipped_.push_back(path + ": " + describe(r));
        return;
    }
    SessionRead session = read(bytes);
    if (!session.problem.empty()) {
        skipped_.push_back(path + ": " + session.problem);
        return;
    }
    out.insert(out.end(), std::make_move_iterator(session.pages.begin()),
               std::make_move_iterator(session.pages.end()));
}

void SessionPageSource::addFirefox(const platform::BrowserFolder& browser,
                                   std::vector<BrowserPage>& out) {
    std::string ini;
    if (!fs_.readFile(browser.folder + "profiles.ini", ini)) return;
    for (const auto& profile : FirefoxProfileFolders(ini, browser.folder)) {
        if (!profiles_->isRunning(browser.kind, profile)) continue;
        addFile(profile + "sessionstore-backups" + platform::kNativeSeparator + "recovery.jsonlz4",
                ReadFirefoxSession, out);
    }
}

void SessionPageSource::addChromium(const platform::BrowserFolder& browser,
                                    std::vector<BrowserPage>& out) {
    if (!profiles_->isRunning(browser.kind, browser.folder)) return;
    const auto profiles = fs_.listFolder(browser.folder);
    if (!profiles) return;
    for (const DirEntry& profile : *profiles) {
        if (!(profile.attributes & platform::kDirectory)) continue;
        const std::string sessions = browser.folder + profile.name + platform::kNativeSeparator +
                                     "Sessions" + platform::kNativeSeparator;
        std::string newest;
        if (const auto entries = fs_.listFolder(sessions)) {
            for (const auto& e : *entries) {
                // Session_<time>: the newest has the largest time, all of equal length.
                if (e.name.starts_with("Session_") &&
                    !(e.attributes & (platform::kDirectory | platform::kReparsePoint)) &&
                    (e.name.size() > newest.size() ||
                     (e.name.size() == newest.size() && e.name > newest))) {
                    newest = e.name;
                }
            }
        }
        if (newest.empty()) continue;
        addFile(
            sessions + newest,
            [&browser](std::string_view bytes) {
                return ReadChromiumSession(bytes, browser.application);
            },
            out);
    }
}

std::vector<BrowserPage> SessionPageSource::openPages() {
    skipped_.clear();
    std::vector<BrowserPage> pages;
    std::vector<std::string> seen;  // XDG_CONFIG_HOME may point where another place lies
    for (const auto& browser : profiles_->browserFolders()) {
        if (std::find(seen.begin(), seen.end(), browser.folder) != seen.end()) continue;
        seen.push_back(browser.folder);
        switch (browser.kind) {
            case platform::BrowserKind::Firefox:
                addFirefox(browser, pages);
                break;
            case platform::BrowserKind::Chromium:
                addChromium(browser, pages);
                break;
        }
    }
    return pages;
}

}  // namespace brim::core
