#include "core/Sessions.h"

#include <gtest/gtest.h>

#include <set>

#include "FlakyFileSystem.h"
#include "SessionSamples.h"
#include "TestSupport.h"
#include "core/Pages.h"

namespace brim::core {
namespace {

using platform::BrowserFolder;
using platform::BrowserKind;

// Browsers placed in a temporary folder; a profile runs when the test says so.
class FakeProfiles final : public platform::BrowserProfiles {
  public:
    std::vector<BrowserFolder> folders;
    std::set<std::string>* running = nullptr;

    std::vector<BrowserFolder> browserFolders() const override { return folders; }
    bool isRunning(BrowserKind, const std::string& profile) const override {
        return running->count(profile) > 0;
    }
};

std::string store(const std::string& url, const std::string& title) {
    return test::jsonlz4(R"({"windows":[{"tabs":[{"entries":[{"url":")" + url + R"(","title":")" +
                         title + R"("}]}]}]})");
}

test::Snss chromiumLog(const std::string& url, const std::u16string& title) {
    test::Snss s;
    s.command(0, test::Snss::ints({1, 7}));
    s.navigation(7, 0, url, title);
    return s;
}

class SessionSourceTest : public testing::Test {
  protected:
    test::TempDir dir;
    test::FlakyFileSystem fs;
    std::set<std::string> running;
    std::string firefox = dir / test::native("firefox/");
    std::string chromium = dir / test::native("chromium/");
    std::string chrome = dir / test::native("chrome/");

    SessionPageSource source(std::vector<BrowserFolder> folders = {}) {
        if (folders.empty()) {
            folders = {{BrowserKind::Firefox, firefox, "Mozilla Firefox"},
                       {BrowserKind::Chromium, chromium, "Chromium"},
                       {BrowserKind::Chromium, chrome, "Google Chrome"}};
        }
        auto profiles = std::make_unique<FakeProfiles>();
        profiles->folders = std::move(folders);
        profiles->running = &running;
        return SessionPageSource(fs, std::move(profiles));
    }

    static std::vector<std::string> titles(const std::vector<platform::BrowserPage>& pages) {
        std::vector<std::string> out;
        for (const auto& p : pages)
            out.push_back(p.title + " @" + p.application);
        return out;
    }
};

TEST_F(SessionSourceTest, RunningBrowsersInTheirOrder) {
    test::writeFile(firefox + "profiles.ini",
                    "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile1]\r\nName=old\r\n"
                    "IsRelative=1\r\nPath=old.default\r\n\r\n[Profile0]\r\nName=main\r\n"
                    "IsRelative=1\r\nPath=main.default\r\n\r\n[Install4F96D1932A9F858E]\r\n"
                    "Default=main.default\r\n");
    test::writeFile(firefox + "main.default/sessionstore-backups/recovery.jsonlz4",
                    store("https://main.example/", "main"));
    test::writeFile(firefox + "old.default/sessionstore-backups/recovery.jsonlz4",
                    store("https://old.example/", "old"));
    running.insert(firefox + test::native("main.default/"));
    // The newest of a profile's session files counts; a folder of that name does not.
    test::writeFile(chromium + "Default/Sessions/Session_13300000000000000",
                    chromiumLog("https://older.example/", u"older").bytes);
    test::writeFile(chromium + "Default/Sessions/Session_13400000000000000",
                    chromiumLog("https://newer.example/", u"newer").bytes);
    test::makeFolders(chromium + "Default/Sessions/Session_13500000000000000");
    test::writeFile(chromium + "Profile 1/Sessions/Session_13400000000000001",
                    chromiumLog("https://second.example/", u"second").bytes);
    test::writeFile(chromium + "Local State", "{}");
    running.insert(chromium);
    test::writeFile(chrome + "Default/Sessions/Session_13400000000000000",
                    chromiumLog("https://chrome.example/", u"chrome").bytes);

    auto s = source();
    const auto pages = s.openPages();
    EXPECT_EQ(titles(pages), (std::vector<std::string>{"main @Mozilla Firefox", "newer @Chromium",
                                                       "second @Chromium"}));
    EXPECT_TRUE(s.skipped().empty());
    // The page list shows them last first.
    EXPECT_EQ(CapturePages(pages).front().title, "second");

    // Chrome starts; Firefox's running profile ends.
    running.insert(chrome);
    running.erase(firefox + test::native("main.default/"));
    EXPECT_EQ(
        titles(s.openPages()),
        (std::vector<std::string>{"newer @Chromium", "second @Chromium", "chrome @Google Chrome"}));
}

TEST_F(SessionSourceTest, UnreadableFilesAreNamedAndTheRestStillCounts) {
    test::writeFile(
        firefox + "profiles.ini",
        "[Profile0]\nPath=a\n[Profile1]\nPath=b\n[Profile2]\nPath=c\n[Profile3]\nPath=d\n");
    for (const char* p : {"a/", "b/", "c/", "d/"})
        running.insert(firefox + test::native(p));
    const std::string a = firefox + test::native("a/sessionstore-backups/recovery.jsonlz4");
    const std::string b = firefox + test::native("b/sessionstore-backups/recovery.jsonlz4");
    const std::string c = firefox + test::native("c/sessionstore-backups/recovery.jsonlz4");
    test::writeFile(a, store("https://a.example/", "a"));
    test::writeFile(b, "mozLz40");
    test::writeFile(c, store("https://c.example/", "c"));
    fs.unreadable.insert(c);
    // Profile d has no session file yet: nothing to say about it.
    auto s = source();
    EXPECT_EQ(titles(s.openPages()), std::vector<std::string>{"a @Mozilla Firefox"});
    EXPECT_EQ(s.skipped(), (std::vector<std::string>{b + ": not a Firefox session store",
                                                     c + ": access denied"}));
    // Each reading reports afresh.
    fs.unreadable.clear();
    test::writeFile(b, store("https://b.example/", "b"));
    EXPECT_EQ(s.openPages().size(), 3u);
    EXPECT_TRUE(s.skipped().empty());
}

TEST_F(SessionSourceTest, MissingFoldersAndOneFolderNamedTwice) {
    auto none = source({{BrowserKind::Firefox, dir / "nothing/", "Mozilla Firefox"},
                        {BrowserKind::Chromium, dir / "nothing either/", "Chromium"}});
    running.insert(dir / "nothing either/");
    EXPECT_TRUE(none.openPages().empty());
    EXPECT_TRUE(none.skipped().empty());

    test::writeFile(chromium + "Default/Sessions/Session_1", chromiumLog("https://x/", u"x").bytes);
    running.insert(chromium);
    auto twice = source({{BrowserKind::Chromium, chromium, "Chromium"},
                         {BrowserKind::Chromium, chromium, "Chromium"}});
    EXPECT_EQ(twice.openPages().size(), 1u);
}

TEST(FirefoxProfileFolders, WhatProfilesIniNames) {
    const struct {
        const char* ini;
        std::vector<std::string> folders;
    } cases[] = {
        {"[Profile0]\r\nName=x\r\nIsRelative=1\r\nPath=Profiles/x.default\r\n",
         {"/ff/Profiles/x.default/"}},
        {"[Profile0]\nIsRelative=0\nPath=/elsewhere/p/\n[Profile1]\nPath=q\n",
         {"/elsewhere/p/", "/ff/q/"}},
        // IsRelative may follow Path; sections other than profiles name no profile.
        {"[Profile0]\rPath=/abs\rIsRelative=0\r", {"/abs/"}},
        {"[General]\nPath=general\n[Install123]\nDefault=x\nPath=install\n", {}},
        {"[Profile0]\nName=no path\n[Profile1]\nPath=\n", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected;
        for (const auto& f : c.folders)
            expected.push_back(test::native(f));
        EXPECT_EQ(FirefoxProfileFolders(c.ini, test::native("/ff/")), expected) << c.ini;
    }
}

}  // namespace
}  // namespace brim::core
