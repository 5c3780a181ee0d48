#include "platform/posix/PosixKnownFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

#include "platform/SettingsLocation.h"
#include "platform/posix/PosixIo.h"

namespace brim::platform {
namespace {

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string withTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path != "/") path += '/';
    return path;
}

std::optional<std::string> absoluteFolder(std::string_view folder) {
    if (folder.empty()) return std::nullopt;
    if (folder.front() == '/') return withTrailingSeparator(std::string(folder));
    char here[PATH_MAX];
    if (!getcwd(here, sizeof here)) return std::nullopt;
    std::string path = here;
    // "." and "./" mean the current folder itself, without a "/./" inside.
    while (folder.substr(0, 2) == "./") {
        folder.remove_prefix(2);
        while (!folder.empty() && folder.front() == '/')
            folder.remove_prefix(1);
    }
    if (!folder.empty() && folder != ".") path += "/" + std::string(folder);
    return withTrailingSeparator(path);
}

std::string executableFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return withTrailingSeparator(".");
    std::string exe(buf, static_cast<std::size_t>(n));
    return withTrailingSeparator(exe.substr(0, exe.find_last_of('/')));
}

PosixKnownFolders::PosixKnownFolders() : env_(processEnv), programFolder_(executableFolder()) {}

PosixKnownFolders::PosixKnownFolders(Environment env, std::string programFolder)
    : env_(std::move(env)), programFolder_(withTrailingSeparator(std::move(programFolder))) {}

std::string PosixKnownFolders::home() const {
    if (auto h = env_("HOME")) return *h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string PosixKnownFolders::xdg(const std::string& var,
                                   const std::string& fallbackUnderHome) const {
    if (auto v = env_(var); v && v->front() == '/') return withTrailingSeparator(*v);
    return withTrailingSeparator(home() + "/" + fallbackUnderHome);
}

std::string PosixKnownFolders::favorites() const {
    // A relative root is taken from the current folder now, once: the paths
    // handed on (to the trash's Path= among others) must not depend on where
    // the process stands later. An empty variable counts as unset.
    if (auto f = env_(favoritesVariable()); f && !f->empty()) {
        return absoluteFolder(*f).value_or(withTrailingSeparator(*f));
    }
    return withTrailingSeparator(home() + "/Favorites");
}

std::string PosixKnownFolders::desktop() const {
    // user-dirs.dirs holds lines such as XDG_DESKTOP_DIR="$HOME/Schreibtisch".
    std::ifstream dirs(xdg("XDG_CONFIG_HOME", ".config") + "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=\"";
    while (std::getline(dirs, line)) {
        if (line.rfind(key, 0) != 0) continue;
        const auto close = line.find('"', key.size());
        if (close == std::string::npos) break;
        std::string value = line.substr(key.size(), close - key.size());
        if (value.rfind("$HOME", 0) == 0) value = home() + value.substr(5);
        if (!value.empty() && value.front() == '/') return withTrailingSeparator(value);
        break;
    }
    return withTrailingSeparator(home() + "/Desktop");
}

std::string PosixKnownFolders::sendTo() const {
    return xdg("XDG_DATA_HOME", ".local/share") + "applications/";
}

std::string PosixKnownFolders::settingsFile() const {
    // One file for the window and the command line; a writable build or
    // program folder alone does not make a portable copy.
    return chooseSettingsFile(programFolder_, xdg("XDG_CONFIG_HOME", ".config") + "brimmark/",
                              isFile);
}

std::string PosixKnownFolders::stateFolder() const {
    return xdg("XDG_STATE_HOME", ".local/state") + "brimmark/";
}

std::string PosixKnownFolders::helpFile() const {
    // Installed as PREFIX/bin/brimmark with PREFIX/share/doc/brimmark/; in a
    // build tree the document is copied beside the program.
    const std::string program = programFolder_.substr(0, programFolder_.size() - 1);
    const auto slash = program.find_last_of('/');
    if (slash != std::string::npos) {
        const std::string installed =
            withTrailingSeparator(program.substr(0, slash)) + "share/doc/brimmark/Brimmark.html";
        if (isFile(installed)) return installed;
    }
    return programFolder_ + "Brimmark.html";
}

}  // namespace brim::platform
