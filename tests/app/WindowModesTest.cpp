// The window modes, their layouts, the position and staying on top.

#include "WindowFixture.h"

namespace brim::test {
namespace {

using app::Id;
using app::Twips;
constexpr app::Sizing Exact = app::Sizing::Exact;
constexpr app::Sizing Minimum = app::Sizing::Minimum;

using ModeTest = WindowFixture;

TEST_F(ModeTest, StartsWithoutSettingsInFullLayoutWithEveryFavorite) {
    writeShortcut(root + "a.url", "http://a/", "エー");
    writeShortcut(root + "A/x.url", "http://x/");
    writeShortcut(root + "B/y.url", "http://y/");
    app::Window& w = start();
    EXPECT_EQ(w.winMode(), 2);
    EXPECT_EQ(view.size, (Twips{6270, 6615}));
    EXPECT_EQ(view.movedTo, (std::vector<Twips>{{0, 0}}));
    EXPECT_EQ(w.listMode(), 0);
    EXPECT_EQ(w.itemCount(), 3);
    EXPECT_EQ(view.count, "ファイル数: 3");
    EXPECT_EQ(view.headers, (std::vector<std::string>{"Name", "Folder", "Comment"}));
    EXPECT_EQ(view.fifths, (std::vector<int>{2, 2, 3}));
    EXPECT_EQ(view.column(), (std::vector<std::string>{"a.url", "y.url", "x.url"}));
    EXPECT_EQ(view.column(2), (std::vector<std::string>{"エー", "", ""}));
    EXPECT_EQ(view.goVisible, false);
    EXPECT_EQ(view.topmost, false);
    EXPECT_EQ(w.frontFlag(), 1);
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.focused, app::Id::Combo1);
}

struct StoredMode {
    const char* stored;
    int mode;
    std::optional<Twips> size;
    std::optional<app::Sizing> sizing;
    std::optional<int> comboWidth;
    std::optional<bool> goVisible;
    std::optional<bool> menuEnabled;
    std::optional<bool> topmost;
};

TEST_F(ModeTest, StoredModeSetsTheLayout) {
    const StoredMode cases[] = {
        // The compact strip has one size; the list and full layouts are the least.
        {" 1", 0, Twips{4140, 1245}, Exact, 2415, true, false, true},
        {" 2", 1, Twips{6270, 4335}, Minimum, 2895, false, true, false},
        // The full layout leaves the menu items as they are.
        {" 3", 2, Twips{6270, 6615}, Minimum, 2895, false, std::nullopt, false},
        // A mode past the three has no layout: nothing is changed.
        {" 4", 3, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         std::nullopt},
        {"", 2, Twips{6270, 6615}, Minimum, 2895, false, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        setting("mmode", "value", c.stored);
        app::Window& w = start();
        EXPECT_EQ(w.winMode(), c.mode);
        EXPECT_EQ(view.size, c.size);
        EXPECT_EQ(view.sizing, c.sizing);
        EXPECT_EQ(view.comboWidth, c.comboWidth);
        EXPECT_EQ(view.goVisible, c.goVisible);
        EXPECT_EQ(view.topmost, c.topmost);
        for (const Id m : {Id::savemenu, Id::Mdelete, Id::autoCP}) {
            const auto it = view.enabled.find(m);
            EXPECT_EQ(it == view.enabled.end() ? std::nullopt : std::optional(it->second),
                      c.menuEnabled);
        }
    }
}

TEST_F(ModeTest, ModeButtonCyclesAndStoresEachStep) {
    setting("mmode", "value", " 2");
    app::Window& w = start();
    const struct {
        const char* stored;
        Twips size;
    } steps[] = {{"3", {6270, 6615}}, {"1", {4140, 1245}}, {"2", {6270, 4335}}};
    for (const auto& step : steps) {
        w.Command10_Click();
        EXPECT_EQ(setting("mmode", "value"), step.stored);
        EXPECT_EQ(view.size, step.size);
    }
    EXPECT_EQ(view.movedTo.size(), 1u);  // the window stays where it is
    EXPECT_EQ(w.winMode(), 1);
}

TEST_F(ModeTest, OutOfRangeModeMovesOnByTheSameRule) {
    setting("mmode", "value", " 4");
    app::Window& w = start();
    w.Command10_Click();
    EXPECT_EQ(w.winMode(), 1);
    EXPECT_EQ(setting("mmode", "value"), "2");
}

TEST_F(ModeTest, TimerStoresThePositionOnlyAfterAMove) {
    setting("Wposition", "x", " 1500");
    setting("Wposition", "y", " 600");
    app::Window& w = start();
    EXPECT_EQ(view.movedTo, (std::vector<Twips>{{1500, 600}}));
    setting("Wposition", "x", " 7");  // a write would put it back to 1500
    w.SaveWpos();
    EXPECT_EQ(setting("Wposition", "x"), "7");
    view.position = {3000, 1200};
    w.SaveWpos();
    EXPECT_EQ(setting("Wposition", "x"), "3000");
    EXPECT_EQ(setting("Wposition", "y"), "1200");
    EXPECT_NE(readFile(folders.settingsFile()).find("x= 3000\r\n"), std::string::npos);
}

TEST_F(ModeTest, ExitStoresThePositionOnce) {
    app::Window& w = start();
    view.position = {450, 300};
    w.shutDown();
    EXPECT_EQ(setting("Wposition", "x"), "450");
    EXPECT_EQ(setting("Wposition", "y"), "300");
    view.position = {600, 600};
    w.shutDown();  // closing the window after "終了" stores nothing more
    EXPECT_EQ(setting("Wposition", "x"), "450");
}

TEST_F(ModeTest, CompactFillEnlargesAndDoubleClickShrinksBack) {
    setting("mmode", "value", " 1");
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();
    EXPECT_EQ(view.size, (Twips{4140, 1245}));
    w.allFile();
    EXPECT_EQ(view.size, (Twips{6285, 3660}));
    EXPECT_EQ(view.sizing, Exact);
    w.ListView1_Click(0);
    w.ListView1_DblClick();
    EXPECT_EQ(view.size, (Twips{4140, 1245}));
    EXPECT_EQ(opener.opened, (std::vector<std::string>{"http://a/"}));
}

TEST_F(ModeTest, AlwaysOnTopFollowsModeAndMenu) {
    setting("mmode", "value", " 2");
    app::Window& w = start();
    EXPECT_EQ(view.topmost, false);
    w.everfront_Click();
    EXPECT_EQ(view.checked[Id::everfront], false);
    EXPECT_EQ(w.frontFlag(), 0);
    EXPECT_EQ(view.topmost, false);
    w.everfront_Click();
    EXPECT_EQ(view.checked[Id::everfront], true);
    EXPECT_EQ(view.topmost, true);
    w.SetWmode();  // the list layout never stays on top
    EXPECT_EQ(view.topmost, false);
    w.everfront_Click();  // off: the compact strip then stays below others too
    w.setWinMode(0);
    w.SetWmode();
    EXPECT_EQ(view.topmost, false);
    w.everfront_Click();
    w.SetWmode();
    EXPECT_EQ(view.topmost, true);
}

}  // namespace
}  // namespace brim::test
