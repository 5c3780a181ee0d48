#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "TestSupport.h"
#include "platform/posix/PosixBrowserProfiles.h"

namespace brim::platform {
namespace {

PosixBrowserProfiles::Environment environment(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](const std::string& name) -> std::optional<std::string> {
        const auto it = vars.find(name);
        if (it == vars.end() || it->second.empty()) return std::nullopt;
        return it->second;
    };
}

TEST(PosixBrowserProfiles, ConfigFolderFollowsXdgConfigHome) {
    const struct {
        std::map<std::string, std::string> env;
        std::string firefoxConfig, chromium, chrome;
    } cases[] = {
        {{{"HOME", "/h"}},
         "/h/.config/mozilla/firefox/",
         "/h/.config/chromium/",
         "/h/.config/google-chrome/"},
        {{{"HOME", "/h/"}, {"XDG_CONFIG_HOME", "/cfg//"}},
         "/cfg/mozilla/firefox/",
         "/cfg/chromium/",
         "/cfg/google-chrome/"},
        // A relative XDG_CONFIG_HOME is not a place; the default stands.
        {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", "cfg"}},
         "/h/.config/mozilla/firefox/",
         "/h/.config/chromium/",
         "/h/.config/google-chrome/"},
    };
    for (const auto& c : cases) {
        const auto folders = PosixBrowserProfiles(environment(c.env), {}).browserFolders();
        const auto has = [&](BrowserKind kind, const std::string& folder, const char* app) {
            return std::find(folders.begin(), folders.end(), BrowserFolder{kind, folder, app}) !=
                   folders.end();
        };
        EXPECT_TRUE(has(BrowserKind::Firefox, "/h/.mozilla/firefox/", "Mozilla Firefox"));
        EXPECT_TRUE(has(BrowserKind::Firefox, c.firefoxConfig, "Mozilla Firefox"))
            << c.firefoxConfig;
        EXPECT_TRUE(has(BrowserKind::Chromium, c.chromium, "Chromium")) << c.chromium;
        EXPECT_TRUE(has(BrowserKind::Chromium, c.chrome, "Google Chrome")) << c.chrome;
        for (const auto& f : folders) {
            EXPECT_EQ(f.folder.front(), '/') << f.folder;
            EXPECT_EQ(f.folder.back(), '/') << f.folder;
        }
    }
}

TEST(PosixBrowserProfiles, RunningWhileTheLockNamesALiveProcess) {
    test::TempDir dir;
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const PosixBrowserProfiles profiles(environment({{"HOME", dir.path()}}),
                                        [](std::int64_t pid) { return pid == getpid(); });
    const std::string me = std::to_string(getpid());
    const struct {
        BrowserKind kind;
        const char* lockName;
        std::string target;  // empty: no lock at all
        bool running;
    } cases[] = {
        {BrowserKind::Firefox, "lock", "127.0.1.1:+" + me, true},
        {BrowserKind::Firefox, "lock", "127.0.1.1:+" + std::to_string(dead), false},
        {BrowserKind::Firefox, "SingletonLock", "host-" + me, false},  // not Firefox's lock
        {BrowserKind::Chromium, "SingletonLock", "my-host-" + me, true},
        {BrowserKind::Chromium, "SingletonLock", "myhost-" + me + "x", false},
        {BrowserKind::Chromium, "SingletonLock", "myhost-", false},
        {BrowserKind::Chromium, "SingletonLock", "", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string folder = dir / ("p" + std::to_string(n++));
        test::makeFolders(folder);
        if (!c.target.empty()) {
            ASSERT_EQ(symlink(c.target.c_str(), (folder + "/" + c.lockName).c_str()), 0);
        }
        EXPECT_EQ(profiles.isRunning(c.kind, folder), c.running) << c.target;
    }
    // A plain file where the link should be is no lock.
    test::writeFile(dir / "plain/lock", "127.0.0.1:+" + me);
    EXPECT_FALSE(profiles.isRunning(BrowserKind::Firefox, dir / "plain/"));
}

}  // namespace
}  // namespace brim::platform
