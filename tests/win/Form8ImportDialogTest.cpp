// The Windows window's import dialog, opened as the program opens it and
// worked by a script that runs inside its message loop (a timer of the
// test's thread) as a user would: choosing the source, typing into the
// boxes, pressing the buttons, reading what the dialog shows.

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "WinDialogScript.h"
#include "WinMessageLoop.h"
#include "WinTestTree.h"
#include "app/Commands.h"
#include "app/Prompts.h"
#include "core/Catalog.h"
#include "core/Profile.h"
#include "win/Controls.h"
#include "win/Form1Window.h"
#include "win/Forms.h"

namespace brim::test {
namespace {

using Dialog = win::Form8ImportDialog;
constexpr const wchar_t* kCaption = L"ブラウザからインポート";

std::string textOf(HWND dialog, int id) {
    return win::windowText(GetDlgItem(dialog, id));
}

void choose(HWND dialog, int source) {
    HWND combo = GetDlgItem(dialog, Dialog::Combo1);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(source), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(Dialog::Combo1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void type(HWND dialog, int id, const std::string& text) {
    win::setWindowText(GetDlgItem(dialog, id), text);  // the box says EN_CHANGE itself
}

void press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Chromium's and Chrome's user-data folders in the test's folder.
struct FolderBrowsers final : platform::BrowserProfiles {
    std::vector<platform::BrowserFolder> folders;
    std::vector<platform::BrowserFolder> browserFolders() const override { return folders; }
    bool isRunning(platform::BrowserKind, const std::string&) const override { return false; }
};

enum { kFirefox, kChromium, kChrome, kNetscape };

class Form8ImportDialogTest : public ::testing::Test, public TestTree {
  protected:
    void SetUp() override {
        makeTree();
        write(
            dir / "bookmarks.html",
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"http://n/\">ニュース</A>\n"
            "<DT><H3>技術</H3>\n<DL><p>\n<DT><A "
            "HREF=\"http://c/\">CMake</A>\n</DL><p>\n</DL><p>\n");
        write(dir / "cut.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=");
        write(dir / "Chrome" / "Default" / "Bookmarks",
              R"({"roots":{"bookmark_bar":{"type":"folder","name":"b","children":[)"
              R"({"type":"url","name":"Chrome","url":"http://chrome/"}]}}})");
        browsers.folders = {
            {platform::BrowserKind::Chromium, path(dir / "Chrome") + "\\", "Google Chrome"}};
    }
    void TearDown() override { removeTree(); }

    static void write(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string path(const fs::path& p) {
        const std::u8string u8 = p.u8string();
        return {u8.begin(), u8.end()};
    }
    bool favorite(std::string_view relative) const {
        return fs::exists(dir / "Favorites" / std::u8string(relative.begin(), relative.end()));
    }

    // Opens the dialog over the test's tree and runs `script` in it; skips
    // where Wine can make no window.
    void work(const std::function<void(HWND)>& script) {
        const core::Profile profile(files, codePage, folders);
        const core::Catalog catalog(files, profile, folders.favorites());
        Dialog dialog(catalog, browsers, prompts);
        if (!DialogScript::run(
                kCaption, [&] { return dialog.run(nullptr); }, script)) {
            GTEST_SKIP() << "no window can be made here (no display)";
        }
    }

    FolderBrowsers browsers;
    app::ScriptedPrompts prompts;
};

TEST_F(Form8ImportDialogTest, ImportsFromAFileOrTheBrowsersDefaultProfile) {
    const struct {
        const char* what;
        int source;
        const char* file;  // typed into Text1
        const char* folder;
        const char* summary;
        std::vector<const char*> written;
    } cases[] = {
        {"a bookmark file",
         kNetscape,
         "bookmarks.html",
         "\\bookmarks\\",
         "取り込み: 2 件　重複のため省略: 0 件　取り込めなかったもの: 0 件",
         {"bookmarks/ニュース.url", "bookmarks/技術/CMake.url"}},
        {"Chrome's default profile",
         kChrome,
         "",
         "\\Google Chrome\\",
         "取り込み: 1 件　重複のため省略: 0 件　取り込めなかったもの: 0 件",
         {"Google Chrome/ブックマーク バー/Chrome.url"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        work([&](HWND d) {
            EXPECT_EQ(SendMessageW(GetDlgItem(d, Dialog::Combo1), CB_GETCOUNT, 0, 0), 4);
            EXPECT_EQ(textOf(d, Dialog::Text2), "\\Firefox\\");
            choose(d, c.source);
            if (*c.file) type(d, Dialog::Text1, path(dir / c.file));
            EXPECT_EQ(textOf(d, Dialog::Text2), c.folder);
            press(d, Dialog::Command1);
            EXPECT_EQ(textOf(d, Dialog::Label4), c.summary);
            HWND bar = GetDlgItem(d, Dialog::ProgressBar1);
            EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), SendMessageW(bar, PBM_GETRANGE, 0, 0));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, Dialog::Command1)));
        });
        if (IsSkipped()) return;
        for (const char* f : c.written)
            EXPECT_TRUE(favorite(f)) << f;
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(Form8ImportDialogTest, WhatCannotBeReadIsSaidAndNothingIsWritten) {
    work([&](HWND d) {
        choose(d, kNetscape);
        type(d, Dialog::Text1, path(dir / "cut.html"));
        press(d, Dialog::Command1);
        EXPECT_EQ(textOf(d, Dialog::Label4), "");
        // A folder the user typed stays when the source changes.
        type(d, Dialog::Text2, "\\Mine\\");
        type(d, Dialog::Text1, "");
        choose(d, kChromium);
        EXPECT_EQ(textOf(d, Dialog::Text2), "\\Mine\\");
        press(d, Dialog::Command1);
    });
    if (IsSkipped()) return;
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(prompts.shown[0].starts_with(
        "ブックマークを読み込めませんでした。何も取り込んでいません。"))
        << prompts.shown[0];
    EXPECT_TRUE(prompts.shown[1].starts_with("ブックマークが見つかりませんでした。"))
        << prompts.shown[1];
    EXPECT_FALSE(favorite("cut"));
    EXPECT_FALSE(favorite("Mine"));
}

TEST_F(Form8ImportDialogTest, TheFileMenuOpensItOverTheWindow) {
    auto form = std::make_unique<win::Form1Window>(services());
    if (!form->create()) GTEST_SKIP() << "no window can be made here (no display)";
    form->startUp({});
    ASSERT_TRUE(pumpUntil(*form, [&] { return !form->rules().isFilling(); }));
    const HWND window = form->hwnd();
    wchar_t item[64] = {};
    GetMenuStringW(GetMenu(window), +app::Id::importmenu, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"ブラウザからインポート(&I)");
    HWND owner = nullptr;
    EXPECT_TRUE(DialogScript::run(
        kCaption,
        [&] {
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(+app::Id::importmenu, 0), 0);
            return INT_PTR{0};
        },
        [&](HWND d) { owner = GetWindow(d, GW_OWNER); }));
    EXPECT_EQ(owner, window);
    form.reset();
    // Destroying the window asks the (absent) message loop to end.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace brim::test
