// The Windows window itself, made (unseen) over a temporary tree: what its
// controls show in each mode and what its own keyboard and list handling
// passes on to the rules.

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <memory>
#include <string>

#include "WinMessageLoop.h"
#include "WinTestTree.h"
#include "app/Commands.h"
#include "win/Form1Window.h"
#include "win/Twips.h"

namespace brim::test {
namespace {

using app::Id;

class Form1WindowTest : public ::testing::Test, public TestTree {
  protected:
    std::unique_ptr<win::Form1Window> form;
    HWND hwnd = nullptr;

    void SetUp() override {
        makeTree();
        pages.pages.clear();  // so that the window starts with every favorite
    }
    void TearDown() override {
        form.reset();
        // Destroying the window asks the (absent) message loop to end.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        removeTree();
    }
    // The window as the program starts it, with the mode stored as given.
    // Callers return at once when it skips or fails.
    void start(const char* storedMode = nullptr) {
        form.reset();
        if (storedMode) {
            std::ofstream(dir / "Brimmark.ini", std::ios::binary)
                << "[mmode]\r\nvalue=" << storedMode << "\r\n";
        }
        form = std::make_unique<win::Form1Window>(services());
        // Wine makes no window without a display; scripts/test-windows runs
        // these again in its virtual one.
        if (!form->create()) GTEST_SKIP() << "no window can be made here (no display)";
        form->startUp({});
        hwnd = form->hwnd();
        ASSERT_TRUE(filled());
    }
    // Runs the message loop until the list's fill has ended.
    bool filled() {
        return pumpUntil(*form, [this] { return !form->rules().isFilling(); });
    }
    HWND control(Id id) const { return GetDlgItem(hwnd, +id); }
    int pixels(int twips) const {
        return win::twipsToPixels(twips, static_cast<int>(GetDpiForWindow(hwnd)));
    }
    SIZE outerSize() const {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    UINT menuState(Id id) const {
        return GetMenuState(GetMenu(hwnd), static_cast<UINT>(+id), MF_BYCOMMAND);
    }
    bool tabStop(Id id) const {
        return (GetWindowLongPtrW(control(id), GWL_STYLE) & WS_TABSTOP) != 0;
    }
    std::wstring text(Id id) const {
        wchar_t buffer[512] = {};
        GetWindowTextW(control(id), buffer, 512);
        return buffer;
    }
    void command(Id id) { SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(+id, BN_CLICKED), 0); }
    void notifyList(UINT code, int item, int subItem = 0) {
        NMITEMACTIVATE n{};
        n.hdr = {control(Id::ListView1), static_cast<UINT_PTR>(+Id::ListView1), code};
        n.iItem = item;
        n.iSubItem = subItem;
        SendMessageW(hwnd, WM_NOTIFY, +Id::ListView1, reinterpret_cast<LPARAM>(&n));
    }
    std::wstring cell(int row, int column) const {
        wchar_t buffer[256] = {};
        ListView_GetItemText(control(Id::ListView1), row, column, buffer, 256);
        return buffer;
    }
};

TEST_F(Form1WindowTest, EachModeLaysOutTheWindow) {
    const struct {
        const char* stored;
        int width, height;  // twips
        bool go, menusEnabled, topmost, buttonsReachable, boxesReachable;
    } cases[] = {
        {" 1", 4140, 1245, true, false, true, false, false},
        {" 2", 6270, 4335, false, true, false, true, false},
        {" 3", 6270, 6615, false, true, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        start(c.stored);
        if (IsSkipped() || HasFatalFailure()) return;
        const SIZE size = outerSize();
        EXPECT_EQ(size.cx, pixels(c.width));
        EXPECT_EQ(size.cy, pixels(c.height));
        EXPECT_EQ(IsWindowVisible(control(Id::Command11)) != 0, c.go);
        for (const Id m : {Id::savemenu, Id::Mdelete, Id::autoCP}) {
            EXPECT_EQ((menuState(m) & MF_GRAYED) == 0, c.menusEnabled) << +m;
        }
        EXPECT_EQ((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, c.topmost);
        // Tab passes over what the window's lower edge cuts off.
        EXPECT_EQ(tabStop(Id::Command6), c.buttonsReachable);
        EXPECT_EQ(tabStop(Id::Text2), c.boxesReachable);
        EXPECT_TRUE(tabStop(Id::Combo1));
    }
}

TEST_F(Form1WindowTest, TheModeButtonAndAlwaysOnTopChangeTheWindow) {
    start(" 3");
    if (IsSkipped() || HasFatalFailure()) return;
    command(Id::Command10);  // full → compact
    EXPECT_EQ(outerSize().cy, pixels(1245));
    EXPECT_TRUE(IsWindowVisible(control(Id::Command11)));
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(menuState(Id::everfront) & MF_CHECKED);
    command(Id::everfront);
    EXPECT_FALSE(menuState(Id::everfront) & MF_CHECKED);
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Form1WindowTest, TheSettingsMenuSwitchesShowTheirStateAndToggleIt) {
    start(" 3");
    if (IsSkipped() || HasFatalFailure()) return;
    const struct {
        Id id;
        bool (app::Window::*on)() const;
    } cases[] = {
        {Id::typesearch, &app::Window::searchesAsTyped},
        {Id::rowcache, &app::Window::keepsRowCache},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(+c.id);
        EXPECT_TRUE(menuState(c.id) & MF_CHECKED);
        for (const bool on : {false, true}) {
            command(c.id);
            EXPECT_EQ((menuState(c.id) & MF_CHECKED) != 0, on);
            EXPECT_EQ((form->rules().*c.on)(), on);
        }
    }
}

TEST_F(Form1WindowTest, AnEnlargedWindowGivesItsRoomToTheListAndTheBoxes) {
    // Where a control is in the window's client area.
    const auto placeOf = [this](Id id) {
        RECT r{};
        GetWindowRect(control(id), &r);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const struct {
        const char* stored;
        bool follows;  // the compact strip keeps its size
    } cases[] = {{" 1", false}, {" 2", true}, {" 3", true}};
    constexpr int dx = 150, dy = 120;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        start(c.stored);
        if (IsSkipped() || HasFatalFailure()) return;
        const Id watched[] = {Id::ListView1, Id::Command6, Id::Text4, Id::Command7};
        std::vector<RECT> before;
        for (const Id id : watched)
            before.push_back(placeOf(id));
        const SIZE size = outerSize();
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx + dx, size.cy + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const int mx = c.follows ? dx : 0, my = c.follows ? dy : 0;
        // How each control follows: its left, top, right and bottom edges.
        const RECT moved[] = {
            {0, 0, mx, my},    // the list grows
            {0, my, 0, my},    // the buttons below it move down
            {0, my, mx, my},   // the edit boxes move down and widen
            {mx, my, mx, my},  // "保存" keeps to the right
        };
        for (std::size_t i = 0; i < std::size(watched); ++i) {
            SCOPED_TRACE(+watched[i]);
            const RECT now = placeOf(watched[i]);
            EXPECT_EQ(now.left - before[i].left, moved[i].left);
            EXPECT_EQ(now.top - before[i].top, moved[i].top);
            EXPECT_EQ(now.right - before[i].right, moved[i].right);
            EXPECT_EQ(now.bottom - before[i].bottom, moved[i].bottom);
        }
        // The columns share the list's width as they did before.
        RECT client{};
        GetClientRect(control(Id::ListView1), &client);
        const int fifths[] = {2, 2, 3};
        for (int col = 0; col < 3; ++col) {
            EXPECT_EQ(ListView_GetColumnWidth(control(Id::ListView1), col),
                      client.right * fifths[col] / 5)
                << col;
        }
    }
}

TEST_F(Form1WindowTest, TheListShowsTheRowsAndSortsByItsHeader) {
    std::ofstream(dir / "Favorites" / "b.url", std::ios::binary)
        << "[InternetShortcut]\r\nURL=http://b.example/\r\n[CommentKey]\r\nWords=コメント\r\n";
    start(" 3");
    if (IsSkipped() || HasFatalFailure()) return;
    HWND list = control(Id::ListView1);
    HWND header = ListView_GetHeader(list);
    ASSERT_EQ(Header_GetItemCount(header), 3);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(cell(0, 0), L"a.url");
    EXPECT_EQ(cell(1, 0), L"b.url");
    EXPECT_EQ(cell(1, 2), L"コメント");
    EXPECT_EQ(text(Id::Label7), L"ファイル数: 2");
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_SHOWSELALWAYS);

    // "Comment": the favorites with one first, and the header says so.
    notifyList(LVN_COLUMNCLICK, -1, 2);
    EXPECT_EQ(cell(0, 0), L"b.url");
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, 2, &item);
    EXPECT_TRUE(item.fmt & HDF_SORTDOWN);
    Header_GetItem(header, 0, &item);
    EXPECT_FALSE(item.fmt & (HDF_SORTDOWN | HDF_SORTUP));
}

TEST_F(Form1WindowTest, AClickShowsTheRowAndEnterOpensIt) {
    start(" 3");
    if (IsSkipped() || HasFatalFailure()) return;
    notifyList(NM_CLICK, 0);
    EXPECT_EQ(text(Id::Text3), L"a");
    EXPECT_EQ(text(Id::Text4), L"http://a.example/");
    EXPECT_EQ(text(Id::Text2), L"\\");
    ListView_SetItemState(control(Id::ListView1), 0, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(control(Id::ListView1));
    SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(opener.opened, std::vector<std::string>{"http://a.example/"});
}

TEST_F(Form1WindowTest, EnterInTheKeywordBoxSearchesAndElsewhereDoesNothing) {
    start(" 3");
    if (IsSkipped() || HasFatalFailure()) return;
    SetWindowTextW(control(Id::Combo1), L"b.example");
    SetFocus(control(Id::Text3));
    SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ListView_GetItemCount(control(Id::ListView1)), 1);  // still every favorite
    SetFocus(control(Id::Combo1));
    SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(filled());
    EXPECT_EQ(ListView_GetItemCount(control(Id::ListView1)), 0);
    EXPECT_EQ(text(Id::Label7), L"ファイル数: 0");
    // The searched keyword is offered again, and what was typed stays.
    EXPECT_EQ(SendMessageW(control(Id::Combo1), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(text(Id::Combo1), L"b.example");
}

}  // namespace
}  // namespace brim::test
