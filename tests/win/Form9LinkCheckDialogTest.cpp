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
#include <vector>

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

// The choice below the counts, as the user works it: the check box clicked,
// the days typed, 再確認 pressed; and Tab down the line, then the buttons.
TEST_F(Form9LinkCheckDialogTest, TheDaysChoiceChecksAgainAndTabTakesItFirst) {
    folders.state = folders.base + "State\\";
    auto form = std::make_unique<win::Form1Window>(services());
    if (!form->create()) GTEST_SKIP() << "no window can be made here (no display)";
    form->startUp({});
    form->rules().allFile();
    ASSERT_TRUE(pumpUntil(*form, [&] { return !form->rules().isFilling(); }));
    const HWND window = form->hwnd();
    EXPECT_TRUE(DialogScript::run(
        L"リンクの確認",
        [&] {
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(+app::Id::checkLinks, 0), 0);
            return INT_PTR{0};
        },
        [&](HWND d) {
            const auto control = [&](int id) { return GetDlgItem(d, id); };
            // Tab's order is the order the controls were made in.
            std::vector<int> order;
            for (HWND c = GetWindow(control(Dialog::Label1), GW_HWNDFIRST); c;
                 c = GetWindow(c, GW_HWNDNEXT))
                if (GetWindowLongPtrW(c, GWL_STYLE) & WS_TABSTOP) order.push_back(GetDlgCtrlID(c));
            EXPECT_EQ(order, (std::vector<int>{Dialog::Check1, Dialog::Text1, Dialog::Command3,
                                               Dialog::Command1, Dialog::Command2}));
            EXPECT_FALSE(IsWindowEnabled(control(Dialog::Command3)));
            ASSERT_TRUE(pumpUntil(*form, [&] { return !form->rules().isCheckingLinks(); }));
            EXPECT_TRUE(IsWindowEnabled(control(Dialog::Command3)));
            EXPECT_EQ(SendMessageW(control(Dialog::Check1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_EQ(win::windowText(control(Dialog::Text1)), "30");
            SendMessageW(control(Dialog::Check1), BM_CLICK, 0, 0);
            EXPECT_EQ(SendMessageW(control(Dialog::Check1), BM_GETCHECK, 0, 0), BST_CHECKED);
            const std::size_t asked = server.hits().size();
            const struct {
                const char* days;
                const char* counts;
            } cases[] = {
                {"soon", "日数には 0 より大きい数を入れてください。"},
                {"1", "前回の結果 2 件"},
            };
            for (const auto& c : cases) {
                SCOPED_TRACE(c.days);
                win::setWindowText(control(Dialog::Text1), c.days);
                SendMessageW(control(Dialog::Command3), BM_CLICK, 0, 0);
                ASSERT_TRUE(pumpUntil(*form, [&] { return !form->rules().isCheckingLinks(); }));
                EXPECT_EQ(win::windowText(control(Dialog::Label2)), c.counts);
                EXPECT_EQ(server.hits().size(), asked);
            }
            // A second click takes the box's check away again.
            SendMessageW(control(Dialog::Check1), BM_CLICK, 0, 0);
            EXPECT_EQ(SendMessageW(control(Dialog::Check1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        }));
    form.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    server.stop();
}

}  // namespace
}  // namespace brim::test
