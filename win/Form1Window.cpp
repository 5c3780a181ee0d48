#include "win/Form1Window.h"

#include <algorithm>

#include "app/Messages.h"
#include "win/EditBoxText.h"
#include "win/Icons.h"

namespace brim::win {
namespace {

constexpr const wchar_t* kClassName = L"BrimmarkForm1";
constexpr UINT_PTR kTimer1 = 1;

using app::Id;

}  // namespace

Form1Window::Form1Window(app::Services services)
    : window_(services, *this, prompts_, &scheduler_) {}

Form1Window::~Form1Window() {
    // The window must not outlive what its messages reach.
    if (hwnd_ && IsWindow(hwnd_)) {
        closing_ = true;
        DestroyWindow(hwnd_);
    }
    for (HIMAGELIST list : icons_)
        ImageList_Destroy(list);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

bool Form1Window::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Form1Window::proc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    // Registered once for the program, however many windows it makes.
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    // WM_NCCREATE already gave hwnd_ its value, for the messages creation
    // sends; a window that failed to come about has none.
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, wide(app::kWindowTitle).c_str(),
                            WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 400, nullptr,
                            nullptr, instance, this);
    if (!hwnd_) return false;
    prompts_.setOwner(hwnd_);
    scheduler_.attach(hwnd_);
    layout_ = std::make_unique<FormLayout>(hwnd_);
    buildControls();
    buildMenu();
    setOuterSizeTwips(hwnd_, app::kFullLayout.width, app::kFullLayout.height);
    return true;
}

void Form1Window::buildControls() {
    layout_->build(app::mainForm());
    setIcons();
}

void Form1Window::setIcons() {
    for (HIMAGELIST list : icons_)
        ImageList_Destroy(list);
    icons_.clear();
    const int dpi = static_cast<int>(layout_->dpi());
    for (const app::Control& c : app::mainForm().controls) {
        if (c.icon == app::Icon::None) continue;
        // 16 pixels square at 96 dpi; the open button's picture is smaller.
        HIMAGELIST list =
            makeIcon(c.icon, scaleRounded(c.icon == app::Icon::Open ? 13 : 16, dpi, 96));
        icons_.push_back(list);
        // The picture above the caption; a button without one shows the picture alone.
        BUTTON_IMAGELIST image{};
        image.himl = list;
        image.uAlign = *c.caption ? BUTTON_IMAGELIST_ALIGN_TOP : BUTTON_IMAGELIST_ALIGN_CENTER;
        SendMessageW(control(static_cast<Id>(c.id)), BCM_SETIMAGELIST, 0,
                     reinterpret_cast<LPARAM>(&image));
    }
}

void Form1Window::buildMenu() {
    menu_ = CreateMenu();
    std::vector<ACCEL> keys;
    for (const app::Menu& menu : app::mainForm().menus) {
        HMENU m = CreatePopupMenu();
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(m), wide(menu.caption).c_str());
        for (const app::MenuItem& item : menu.items) {
            if (!item.caption) {
                AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            std::string caption = item.caption;
            if (item.ctrlKey) {
                caption += std::string("\tCtrl+") + item.ctrlKey;
                keys.push_back({FCONTROL | FVIRTKEY, static_cast<WORD>(item.ctrlKey),
                                static_cast<WORD>(item.id)});
            }
            AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(item.id), wide(caption).c_str());
            if (item.checkMark)
                CheckMenuItem(m, static_cast<UINT>(item.id), MF_BYCOMMAND | MF_CHECKED);
        }
    }
    SetMenu(hwnd_, menu_);
    if (!keys.empty())
        accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void Form1Window::startUp(const std::string& argument) {
    ListView_SetExtendedListViewStyle(list(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    SetTimer(hwnd_, kTimer1, app::kPositionTimerMs, nullptr);
    window_.startUp(argument);
}

bool Form1Window::preTranslate(MSG& msg) {
    if (!hwnd_) return false;
    if (accelerators_ && TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return true;
    // Tab and the arrow keys move between the controls as in a dialog.
    return IsDialogMessageW(hwnd_, &msg) != 0;
}

LRESULT CALLBACK Form1Window::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->layout_) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->handle(msg, wp, lp);
}

LRESULT Form1Window::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WindowScheduler::wakeMessage()) {
        scheduler_.runDue();
        return 0;
    }
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (id == IDOK) {
                // Enter in the keyword box searches, on a row of the list does
                // what a double click does; elsewhere it does nothing.
                HWND focused = GetFocus();
                if (focused == combo() || GetParent(focused) == combo()) {
                    app::run(app::findControl(app::mainForm(), +Id::Combo1)->command, window_,
                             *this);
                } else if (focused == list()) {
                    window_.ListView1_Enter(ListView_GetNextItem(list(), -1, LVNI_SELECTED));
                }
                return 0;
            }
            if (id == IDCANCEL) {
                // Esc stops a running fill; what it has found stays.
                window_.stopFill();
                return 0;
            }
            if (id == +Id::Combo1) {
                if (HIWORD(wp) == CBN_EDITCHANGE) window_.Combo1_Change();
                if (HIWORD(wp) == CBN_CLOSEUP && offering_) {
                    offering_ = false;
                    fillKeywordList(keywordItems_);
                }
                return 0;
            }
            // Menu items (0), accelerators (1) and clicked buttons (BN_CLICKED, 0).
            if (HIWORD(wp) <= 1) app::runCommand(id, window_, *this);
            return 0;
        }
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lp));
        case WM_TIMER:
            if (wp == kTimer1) window_.SaveWpos();
            if (wp == WindowScheduler::kTimer) scheduler_.runDue();
            return 0;
        case WM_SETCURSOR:
            // Over the window and its controls alike, while a fill runs.
            if (busy_ && LOWORD(lp) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            return DefWindowProcW(hwnd_, msg, wp, lp);
        case WM_DPICHANGED: {
            layout_->setDpi(HIWORD(wp));
            setIcons();
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SIZE:
            followSize();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            if (minimumTwips_.x > 0) {
                info->ptMinTrackSize = {pixelsOn(hwnd_, minimumTwips_.x),
                                        pixelsOn(hwnd_, minimumTwips_.y)};
            }
            return 0;
        }
        case WM_ACTIVATE:
            // The control that had the focus gets it back when the window
            // does, after a dialog or another program.
            if (LOWORD(wp) == WA_INACTIVE) {
                if (HWND f = GetFocus(); f && IsChild(hwnd_, f)) focused_ = f;
            } else if (focused_ && IsWindow(focused_)) {
                SetFocus(focused_);
                return 0;
            }
            return DefWindowProcW(hwnd_, msg, wp, lp);
        case WM_CLOSE:
            // The close box ends the program as "終了" does.
            quit();
            return 0;
        case WM_DESTROY:
            // Rows still on their way have nowhere to go.
            scheduler_.detach();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

LRESULT Form1Window::onNotify(const NMHDR& header) {
    if (header.hwndFrom != list()) return 0;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
            if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return 0;
            const auto row = static_cast<std::size_t>(item.iItem);
            const auto col = static_cast<std::size_t>(item.iSubItem);
            const std::wstring text =
                row < rows_.size() && col < rows_[row].size() ? wide(rows_[row][col]) : L"";
            lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            return 0;
        }
        case NM_CLICK: {
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            if (click.iItem >= 0) window_.ListView1_Click(click.iItem);
            return 0;
        }
        case LVN_ITEMCHANGED: {
            // The keyboard moves the selection; a click is taken by NM_CLICK
            // once the button is up.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            const bool gained =
                (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
            if (gained && !selecting_ && change.iItem >= 0 && GetKeyState(VK_LBUTTON) >= 0) {
                window_.ListView1_KeyMove(change.iItem);
            }
            return 0;
        }
        case NM_DBLCLK:
            window_.ListView1_DblClick();
            return 0;
        case LVN_COLUMNCLICK:
            window_.ListView1_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1);
            return 0;
        default:
            return 0;
    }
}

void Form1Window::followSize() {
    // Beyond the least size the room goes to the list and the edit boxes;
    // the compact strip keeps its own.
    SIZE stretch{0, 0};
    if (minimumTwips_.x > 0) {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        stretch = {std::max<LONG>(0, r.right - r.left - pixelsOn(hwnd_, minimumTwips_.x)),
                   std::max<LONG>(0, r.bottom - r.top - pixelsOn(hwnd_, minimumTwips_.y))};
    }
    layout_->setStretch(stretch);
    layout_->skipCutOffControls();
    fitColumns();
}

int Form1Window::columnWidth(std::size_t column) const {
    RECT client{};
    GetClientRect(list(), &client);
    const int fifths = column < fifths_.size() ? fifths_[column] : 1;
    return client.right * fifths / 5;
}

void Form1Window::fitColumns() {
    for (std::size_t c = 0; c < headers_.size(); ++c)
        ListView_SetColumnWidth(list(), static_cast<int>(c), columnWidth(c));
}

void Form1Window::setColumns(const std::vector<std::string>& headers,
                             const std::vector<int>& fifths) {
    while (ListView_DeleteColumn(list(), 0)) {
    }
    headers_ = headers;
    fifths_ = fifths;
    for (std::size_t c = 0; c < headers.size(); ++c) {
        std::wstring caption = wide(headers[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = caption.data();
        column.cx = columnWidth(c);
        ListView_InsertColumn(list(), static_cast<int>(c), &column);
    }
}

void Form1Window::setRows(const std::vector<app::Row>& rows) {
    rows_ = rows;
    selecting_ = true;
    ListView_SetItemState(list(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    selecting_ = false;
    ListView_SetItemCountEx(list(), static_cast<int>(rows_.size()), 0);
    InvalidateRect(list(), nullptr, TRUE);
}

void Form1Window::addRows(const std::vector<app::Row>& rows) {
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    // The list shows the new count without scrolling or redrawing every row.
    ListView_SetItemCountEx(list(), static_cast<int>(rows_.size()),
                            LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void Form1Window::setBusy(bool busy) {
    busy_ = busy;
    // The pointer changes now if it is over the window, not at its next move.
    POINT p{};
    if (GetCursorPos(&p)) {
        HWND under = WindowFromPoint(p);
        if (under == hwnd_ || IsChild(hwnd_, under)) {
            SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        }
    }
}

void Form1Window::setRow(int row, const app::Row& cells) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    rows_[static_cast<std::size_t>(row)] = cells;
    ListView_RedrawItems(list(), row, row);
}

void Form1Window::setSortIndicator(int column, bool descending) {
    HWND header = ListView_GetHeader(list());
    const int n = Header_GetItemCount(header);
    for (int c = 0; c < n; ++c) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, c, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, c, &item);
    }
}

void Form1Window::selectRow(int row) {
    selecting_ = true;
    ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list(), row, FALSE);
    selecting_ = false;
}

void Form1Window::setCount(const std::string& caption) {
    setWindowText(control(Id::Label7), caption);
}

std::string Form1Window::text(Id b) const {
    const std::string t = windowText(control(b));
    return b == Id::Text5 ? fromEditBox(t) : t;
}

void Form1Window::setText(Id b, const std::string& t) {
    setWindowText(control(b), b == Id::Text5 ? toEditBox(t) : t);
}

void Form1Window::fillKeywordList(const std::vector<std::string>& items) {
    // Refilling the list must not change what the user typed, nor where.
    const std::string typed = windowText(combo());
    const LRESULT selection = SendMessageW(combo(), CB_GETEDITSEL, 0, 0);
    SendMessageW(combo(), CB_RESETCONTENT, 0, 0);
    for (const auto& k : items) {
        SendMessageW(combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(k).c_str()));
    }
    setWindowText(combo(), typed);
    SendMessageW(combo(), CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
}

void Form1Window::setKeywordItems(const std::vector<std::string>& items) {
    keywordItems_ = items;
    if (!offering_) fillKeywordList(items);
}

void Form1Window::offerKeywords(const std::vector<std::string>& offers) {
    if (offers.empty()) {
        // Closing the list puts the whole keyword list back (CBN_CLOSEUP).
        SendMessageW(combo(), CB_SHOWDROPDOWN, FALSE, 0);
        return;
    }
    // The offers open below the box in its own drop-down list while the
    // user goes on typing.
    offering_ = true;
    fillKeywordList(offers);
    const std::string typed = windowText(combo());
    const LRESULT selection = SendMessageW(combo(), CB_GETEDITSEL, 0, 0);
    SendMessageW(combo(), CB_SHOWDROPDOWN, TRUE, 0);
    setWindowText(combo(), typed);
    SendMessageW(combo(), CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
}

void Form1Window::setSizeTwips(app::Twips size, app::Sizing sizing) {
    // The list and full layouts may be enlarged but not made smaller.
    minimumTwips_ = sizing == app::Sizing::Minimum ? size : app::Twips{};
    setOuterSizeTwips(hwnd_, size.x, size.y);
    followSize();
}

app::Twips Form1Window::positionTwips() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int dpi = static_cast<int>(layout_->dpi());
    return {pixelsToTwips(r.left, dpi), pixelsToTwips(r.top, dpi)};
}

void Form1Window::moveTwips(app::Twips position) {
    const int dpi = static_cast<int>(layout_->dpi());
    POINT p{twipsToPixels(position.x, dpi), twipsToPixels(position.y, dpi)};
    // A position stored while a monitor since unplugged was in use would leave
    // the window out of reach: then it goes to the primary monitor's corner.
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const RECT titleBar{p.x, p.y, p.x + std::max<LONG>(r.right - r.left, 1),
                        p.y + GetSystemMetricsForDpi(SM_CYCAPTION, layout_->dpi())};
    if (!MonitorFromRect(&titleBar, MONITOR_DEFAULTTONULL)) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
        p = {info.rcWork.left, info.rcWork.top};
    }
    SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::setComboWidthTwips(int width) {
    layout_->setWidth(combo(), width);
}

void Form1Window::setGoVisible(bool visible) {
    ShowWindow(control(Id::Command11), visible ? SW_SHOW : SW_HIDE);
}

void Form1Window::setMenuEnabled(Id item, bool enabled) {
    EnableMenuItem(menu_, static_cast<UINT>(+item),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Form1Window::setMenuChecked(Id item, bool checked) {
    CheckMenuItem(menu_, static_cast<UINT>(+item),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Form1Window::setTopmost(bool topmost) {
    // Only the place in the stacking order changes: no move, no new size.
    SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

void Form1Window::focus(Id id) {
    SetFocus(control(id));
}

void Form1Window::showWindow() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Form1Window::showDialog(app::Dialog dialog) {
    switch (dialog) {
        case app::Dialog::Form2:
            Form2FixedKeywordsDialog(window_.keywords()).run(hwnd_);
            break;
        case app::Dialog::Form3:
            Form3SearchOptionsDialog(window_.searchOptions()).run(hwnd_);
            break;
        case app::Dialog::Form4:
            Form4ExportOptionsDialog(window_.htmlOptions()).run(hwnd_);
            break;
        case app::Dialog::Form5:
            Form5ShortcutsDialog(window_, shortcutChoice_).run(hwnd_);
            break;
        case app::Dialog::Form6:
            Form6AboutDialog(window_).run(hwnd_);
            break;
        case app::Dialog::Form7:
            Form7AutoCopyDialog(window_.autoCopy()).run(hwnd_);
            break;
        case app::Dialog::Form8:
            Form8ImportDialog(window_.catalog(), window_.browsers(), prompts_).run(hwnd_);
            break;
        case app::Dialog::Form9:
            Form9LinkCheckDialog(window_).run(hwnd_);
            break;
    }
}

void Form1Window::quit() {
    if (closing_) return;
    closing_ = true;
    window_.shutDown();
    KillTimer(hwnd_, kTimer1);
    DestroyWindow(hwnd_);
}

}  // namespace brim::win
