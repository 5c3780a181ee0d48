// What the Windows window decides itself, beyond the rules it binds: twips
// to pixels at the window's DPI, which handler each button and menu item
// runs, and the argument taken from the command line.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>

#include "../app/FakeView.h"
#include "WinTestTree.h"
#include "app/Commands.h"
#include "app/Prompts.h"
#include "app/Window.h"
#include "core/Catalog.h"
#include "win/CommandLine.h"
#include "win/EditBoxText.h"
#include "win/Twips.h"

namespace brim::test {
namespace {

namespace fs = std::filesystem;
using app::Id;

// ---- Twips and pixels ----------------------------------------------------

TEST(WinTwips, PixelsAtEachDpi) {
    const struct {
        int twips, dpi, pixels;
    } cases[] = {
        {1440, 96, 96},   {15, 96, 1},    {375, 96, 25},    {260, 96, 17}, {6615, 96, 441},
        {6615, 144, 662},  // 661.5 rounds up
        {6615, 192, 882}, {375, 144, 38}, {4140, 192, 552}, {7, 96, 0},    {8, 96, 1},
        {-120, 96, -8},   {-8, 96, -1},   {-7, 96, 0},      {0, 192, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twips << " twips at " << c.dpi << " dpi");
        EXPECT_EQ(win::twipsToPixels(c.twips, c.dpi), c.pixels);
        // The system's own rounding agrees.
        EXPECT_EQ(win::twipsToPixels(c.twips, c.dpi), MulDiv(c.twips, c.dpi, 1440));
    }
}

TEST(WinTwips, WindowPositionsSurviveTheRoundTrip) {
    // A position the window stores is read back at start; at every DPI a
    // stored position puts the window on the pixel it was on.
    for (const int dpi : {96, 120, 144, 192}) {
        for (int px = -300; px <= 3000; px += 7) {
            SCOPED_TRACE(testing::Message() << px << " px at " << dpi << " dpi");
            EXPECT_EQ(win::twipsToPixels(win::pixelsToTwips(px, dpi), dpi), px);
        }
    }
    EXPECT_EQ(win::pixelsToTwips(441, 96), 6615);
    EXPECT_EQ(win::pixelsToTwips(1, 192), 8);  // 7.5
    EXPECT_EQ(win::pixelsToTwips(-1, 192), -8);
    EXPECT_EQ(win::pixelsToTwips(5, 0), 0);  // no DPI is no division by zero
}

// ---- The command line ---------------------------------------------------

TEST(WinCommandLine, TheArgumentIsTakenWhole) {
    const struct {
        const wchar_t* line;
        const char* argument;
    } cases[] = {
        {L"brimmark.exe", ""},
        {L"\"C:\\Program Files\\Brimmark\\brimmark.exe\"", ""},
        {L"\"C:\\Program Files\\Brimmark\\brimmark.exe\" \"C:\\Fav\\a b.url\"", "C:\\Fav\\a b.url"},
        // Unquoted blanks, as some launchers pass a path: joined again.
        {L"brimmark.exe C:\\Fav\\a b.url", "C:\\Fav\\a b.url"},
        {L"brimmark.exe   x.url   ", "x.url"},
        {L"brimmark.exe \"C:\\お気に入り\\ニュース.url\"", "C:\\お気に入り\\ニュース.url"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(win::argumentOf(c.line));
        EXPECT_EQ(win::argumentOf(c.line), c.argument);
    }
}

// ---- The comment box's line breaks -----------------------------------------

TEST(WinEditBox, LineBreaksAsTheBoxAndTheRulesKeepThem) {
    const struct {
        const char* rules;  // what the rules hand over
        const char* box;    // what the box shows
        const char* back;   // what the rules get back
    } cases[] = {
        {"", "", ""},
        {"one line", "one line", "one line"},
        {"a\nb", "a\r\nb", "a\nb"},
        {"a\r\nb", "a\r\nb", "a\nb"},  // never CR CR LF
        {"a\rb", "a\r\nb", "a\nb"},
        {"a\n\nb\n", "a\r\n\r\nb\r\n", "a\n\nb\n"},
        {"\n", "\r\n", "\n"},
        {"日本語\nコメント", "日本語\r\nコメント", "日本語\nコメント"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules);
        EXPECT_EQ(win::toEditBox(c.rules), c.box);
        EXPECT_EQ(win::fromEditBox(win::toEditBox(c.rules)), c.back);
    }
    // A lone CR typed into the box by other means stays as it is.
    EXPECT_EQ(win::fromEditBox("a\rb"), "a\rb");
}

// ---- Buttons and menu items ----------------------------------------------

struct RecordingHost final : app::CommandHost {
    std::vector<app::Dialog> dialogs;
    int quits = 0;
    void showDialog(app::Dialog d) override { dialogs.push_back(d); }
    void quit() override { ++quits; }
};

class WinCommands : public ::testing::Test, public TestTree {
  public:
    app::ScriptedPrompts prompts;
    FakeView view;
    RecordingHost host;
    std::unique_ptr<app::Window> window;

    void SetUp() override {
        // Each case starts from a fresh screen, tree and record.
        makeTree();
        prompts = {};
        view = {};
        host = {};
        window = std::make_unique<app::Window>(services(), view, prompts);
        window->startUp({});
    }
    void TearDown() override {
        window.reset();
        removeTree();
    }
};

TEST_F(WinCommands, EachButtonAndMenuItemRunsItsHandler) {
    using Step = std::function<void(WinCommands&)>;
    const Step addressShown = [](auto& t) {
        t.view.setText(app::Id::Text4, "http://open.example/");
    };
    const Step opened = [](auto& t) {
        EXPECT_EQ(t.opener.opened, std::vector<std::string>{"http://open.example/"});
    };
    const Step favoriteShown = [](auto& t) {
        t.view.setText(app::Id::Text2, "\\");
        t.view.setText(app::Id::Text3, "a");
    };
    const Step trashed = [](auto& t) {
        EXPECT_EQ(t.trash.moved, std::vector{t.folders.favorites() + "a.url"});
    };
    // Into the Favorites folder itself, whose label is a lone backslash.
    const Step newFavorite = [](auto& t) {
        t.view.setText(app::Id::Text3, "new");
        t.view.setText(app::Id::Text4, "http://new.example/");
        t.view.setText(app::Id::Text6, "\\");
    };
    const Step saved = [](auto& t) {
        EXPECT_TRUE(fs::exists(t.dir / "Favorites" / "new.url"));
        EXPECT_EQ(t.prompts.shown, std::vector<std::string>{});
    };
    const Step keywordTyped = [](auto& t) { t.view.setText(app::Id::Combo1, "example"); };
    // An export asks for the file's name first.
    const auto asked = [](std::string title) -> Step {
        return [title](auto& t) {
            ASSERT_EQ(t.prompts.shown.size(), 1u);
            EXPECT_TRUE(t.prompts.shown[0].starts_with(title));
        };
    };
    const struct {
        Id id;
        Step before;  // what the user did first
        Step check;
    } cases[] = {
        {Id::Command1, {}, [](auto& t) { EXPECT_EQ(t.window->listMode(), core::kListFolders); }},
        {Id::Command2, [](auto& t) { t.view.setText(app::Id::Text4, "http://a.example/"); },
         [](auto& t) {
             EXPECT_EQ(t.window->searchKeys(), std::vector<std::string>{"http://a.example/"});
         }},
        {Id::Command3, {}, [](auto& t) { EXPECT_EQ(t.host.quits, 1); }},
        {Id::exitprogram, {}, [](auto& t) { EXPECT_EQ(t.host.quits, 1); }},
        {Id::Command4, addressShown, opened},
        {Id::openurl, addressShown, opened},
        {Id::Command5, favoriteShown, trashed},
        {Id::Mdelete, favoriteShown, trashed},
        {Id::Command6, {}, [](auto& t) { EXPECT_EQ(t.window->listMode(), core::kListPages); }},
        {Id::Command7, newFavorite, saved},
        {Id::savemenu, newFavorite, saved},
        {Id::Command8, keywordTyped,
         [](auto& t) {
             EXPECT_EQ(t.window->searchKeys(), std::vector<std::string>{"example"});
             EXPECT_EQ(t.view.keywordItems, std::vector<std::string>{"example"});
         }},
        {Id::Command11, keywordTyped,
         [](auto& t) { EXPECT_EQ(t.view.keywordItems, std::vector<std::string>{"example"}); }},
        {Id::Command9, {}, asked("Input HTML-file name")},
        {Id::mkHTML, {}, asked("Input HTML-file name")},
        {Id::toCSV, {}, asked("Input CSV-file name")},
        {Id::toBookmarks, {}, asked("Input bookmark-file name")},
        {Id::Command10, {}, [](auto& t) { EXPECT_EQ(t.window->winMode(), 0); }},
        {Id::delfolder,
         {},
         [](auto& t) { EXPECT_FALSE(fs::exists(t.dir / "Favorites" / "Empty")); }},
        // Every name is UTF-8 already: the user is told so.
        {Id::fixNames, {}, asked("UTF-8 に変換できる名前はありません。")},
        {Id::everfront, {}, [](auto& t) { EXPECT_EQ(t.window->frontFlag(), 0); }},
        {Id::clearKey,
         [](auto& t) {
             t.view.setText(app::Id::Combo1, "example");
             t.window->Command8_Click();
         },
         [](auto& t) { EXPECT_TRUE(t.view.keywordItems.empty()); }},
        // No help document beside the program: the user is told so.
        {Id::ophelp, {}, [](auto& t) { EXPECT_EQ(t.prompts.shown.size(), 1u); }},
        {Id::PKEYS,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form2}); }},
        {Id::setKEYWORD,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form3}); }},
        {Id::setHTML,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form4}); }},
        {Id::mkstcut,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form5}); }},
        {Id::showV,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form6}); }},
        {Id::autoCP,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form7}); }},
        {Id::importmenu,
         {},
         [](auto& t) { EXPECT_EQ(t.host.dialogs, std::vector{app::Dialog::Form8}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(+c.id);
        TearDown();
        SetUp();
        if (c.before) c.before(*this);
        EXPECT_TRUE(app::runCommand(+c.id, *window, host));
        c.check(*this);
        // A command runs once, and nothing but itself.
        if (c.id != Id::Command3 && c.id != Id::exitprogram) {
            EXPECT_EQ(host.quits, 0);
        }
    }
}

TEST_F(WinCommands, OtherIdsRunNothing) {
    // The edit boxes, the keyword box and the list send commands of their
    // own; Enter comes as IDOK. None of them is a button's command.
    const int before = window->listMode();
    for (const int id : {0, IDOK, IDCANCEL, +Id::Combo1, +Id::ListView1, +Id::Text2, +Id::Text5,
                         +Id::Label7, 9999}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(app::runCommand(id, *window, host));
    }
    EXPECT_EQ(window->listMode(), before);
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_EQ(host.quits, 0);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace brim::test
