// The Windows window's link check dialog, opened from the menu as the
// program opens it, against a web server of the test's own on the loopback:
// the bar as answers come, Esc stopping a running check without closing.

#include <gtest/gtest.h>

// Before windows.h: the server's winsock2.h must come first.
#include "LinkServer.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <string>

#include "WinDialogScript.h"
#include "WinMessageLoop.h"
#include "WinTestTree.h"
#include "app/MainForm.h"
#include "win/Controls.h"
#include "win/Form1Window.h"
#include "win/Forms.h"

namespace brim::test {
namespace {

using namespace std::chrono_literals;
using Dialog = win::Form9LinkCheckDialog;

class Form9LinkCheckDialogTest : public ::testing::Test, public TestTree {
  protected:
    void SetUp() override {
        makeTree();
        // Only the server's pages: no check leaves the machine.
        fs::remove(dir / "Favorites" / "a.url");
        for (const char* page : {"fast", "slow"})
            std::ofstream(dir / "Favorites" / (std::string(page) + ".url"), std::ios::binary)
                << "[InternetShortcut]\r\nURL=" << server.base() << "/" << page << "\r\n";
    }
    void TearDown() override { removeTree(); }

    LinkServer server{{{"/fast", status(200)}, {"/slow", slow(3s)}}};
};

TEST_F(Form9LinkCheckDialogTest, TheMenuChecksTheListAndEscStopsIt) {
    auto form = std::make_unique<win::Form1Window>(services());
    if (!form->create()) GTEST_SKIP() << "no window can be made here (no display)";
    form->startUp({});
    // The favorites, whatever pages the start-up listed.
    form->rules().allFile();
    ASSERT_TRUE(pumpUntil(*form, [&] { return !form->rules().isFilling(); }));
    ASSERT_EQ(form->rules().list().size(), 2);
    const HWND window = form->hwnd();
    wchar_t item[64] = {};
    GetMenuStringW(GetMenu(window), +app::Id::checkLinks, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"リンクの確認(&L)");
    EXPECT_TRUE(DialogScript::run(
        L"リンクの確認",
        [&] {
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(+app::Id::checkLinks, 0), 0);
            return INT_PTR{0};
        },
        [&](HWND d) {
            HWND bar = GetDlgItem(d, Dialog::ProgressBar1);
            EXPECT_NE(win::windowText(GetDlgItem(d, Dialog::Label1)).find("2 件"),
                      std::string::npos);
            ASSERT_TRUE(pumpUntil(*form, [&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) == 1; }));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, Dialog::Command1)));
            SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            ASSERT_TRUE(pumpUntil(
                *form, [&] { return !form->rules().isCheckingLinks(); }, 10s));
            EXPECT_TRUE(IsWindow(d));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, Dialog::Command1)));
            EXPECT_EQ(win::windowText(GetDlgItem(d, Dialog::Label2)), "正常 1 件（中止）");
        }));
    EXPECT_EQ(form->rules().linkResults().size(), 1u);
    EXPECT_EQ(form->rules().list().headers().back(), "Link");
    form.reset();
    // Destroying the window asks the (absent) message loop to end.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    server.stop();
}

}  // namespace
}  // namespace brim::test
