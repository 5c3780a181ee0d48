#include "win/Controls.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "platform/win32/Win32Text.h"

namespace brim::win {

std::wstring wide(std::string_view utf8) {
    return platform::win32::widen(utf8);
}

std::string utf8(std::wstring_view w) {
    return platform::win32::narrow(w);
}

std::string windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

void setWindowText(HWND hwnd, std::string_view text) {
    SetWindowTextW(hwnd, wide(text).c_str());
}

int pixelsOn(HWND hwnd, int twips) {
    return twipsToPixels(twips, static_cast<int>(GetDpiForWindow(hwnd)));
}

void setOuterSizeTwips(HWND hwnd, int width, int height) {
    SetWindowPos(hwnd, nullptr, 0, 0, pixelsOn(hwnd, width), pixelsOn(hwnd, height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The system's message font, as large as it is meant to be at `dpi`, or
// `percent` of that.
HFONT messageFont(UINT dpi, int percent = 100) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return nullptr;
    }
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, percent, 100);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

constexpr int kSmallPercent = 84;  // 10 pixels for 12 at 96 dpi

}  // namespace

FormLayout::FormLayout(HWND form) : form_(form), dpi_(GetDpiForWindow(form)) {
    font_ = messageFont(dpi_);
    smallFont_ = messageFont(dpi_, kSmallPercent);
}

FormLayout::~FormLayout() {
    for (HFONT f : {font_, smallFont_})
        if (f) DeleteObject(f);
}

HWND FormLayout::add(const wchar_t* windowClass, std::string_view text, DWORD style, int id,
                     TwipsRect r, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, windowClass, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, form_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) return nullptr;
    controls_.push_back({control, r, false});
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    place(controls_.back());
    return control;
}

namespace {

// The keyword box's place includes its drop-down list, which opens below the box.
constexpr int kComboListTwips = 3000;

struct Made {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle = 0;
};

Made madeAs(app::Kind kind) {
    switch (kind) {
        case app::Kind::Line:
            return {L"STATIC", SS_ETCHEDHORZ};
        case app::Kind::Frame:
            return {L"STATIC", SS_ETCHEDFRAME};
        case app::Kind::Label:
        case app::Kind::WrappedLabel:
            return {L"STATIC", SS_LEFT};
        case app::Kind::SmallLabel:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case app::Kind::Image:
            return {L"STATIC", SS_ICON | SS_REALSIZEIMAGE};
        case app::Kind::Link:
            return {WC_LINK, 0};
        case app::Kind::Button:
        case app::Kind::PictureButton:
            return {L"BUTTON", BS_PUSHBUTTON};
        case app::Kind::KeywordBox:
            return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
        case app::Kind::ResultList:
            return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA,
                    WS_EX_CLIENTEDGE};
        case app::Kind::ListBox:
            return {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE};
        case app::Kind::Edit:
            return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case app::Kind::DropDownList:
            return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL};
        case app::Kind::ProgressBar:
            return {PROGRESS_CLASSW, 0};
        case app::Kind::MultiLineEdit:
            return {L"EDIT", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL,
                    WS_EX_CLIENTEDGE};
        case app::Kind::CheckBox:
            return {L"BUTTON", BS_3STATE};
        case app::Kind::LongCheckBox:
            return {L"BUTTON", BS_3STATE | BS_MULTILINE};
        case app::Kind::Option:
            return {L"BUTTON", BS_AUTORADIOBUTTON};
    }
    return {L"STATIC", 0};
}

}  // namespace

HWND FormLayout::make(const app::Control& c) {
    const Made m = madeAs(c.kind);
    DWORD style = m.style | (c.tab != app::kNoTab ? WS_TABSTOP : 0);
    // Options next to each other choose among themselves: the first starts their group.
    if (c.kind == app::Kind::Option && !optionBefore_) style |= WS_GROUP;
    optionBefore_ = c.kind == app::Kind::Option;
    TwipsRect where = c.place;
    if (c.kind == app::Kind::KeywordBox) where.height = kComboListTwips;
    // A drop-down list's place includes its list, five of its lines high.
    if (c.kind == app::Kind::DropDownList) where.height *= 5;
    const std::string text =
        c.kind == app::Kind::Link ? std::string("<a>") + c.caption + "</a>" : c.caption;
    HWND control = add(m.windowClass, text, style, c.id, where, m.exStyle);
    if (!control) return nullptr;
    controls_.back().follow = c.follow;
    if (c.hint) {
        SendMessageW(control, EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(wide(c.hint).c_str()));
    }
    if (c.kind == app::Kind::SmallLabel) {
        // The form's labels are narrow: a smaller face keeps their words whole.
        controls_.back().small = true;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(smallFont_), FALSE);
    }
    place(controls_.back());
    return control;
}

void FormLayout::build(const app::Form& form) {
    table_ = &form;
    for (const app::Control& c : form.controls)
        byId_[c.id] = make(c);
    // The dialog manager tabs in the order the controls were made; where the
    // table's tab order differs from it, the tab stops are put into the tab
    // order, each after the one before it.
    const auto order = app::tabOrder(form, INT_MAX);
    std::vector<const app::Control*> made;
    for (const app::Control& c : form.controls)
        if (c.tab != app::kNoTab) made.push_back(&c);
    if (made == order) return;
    for (std::size_t i = 1; i < order.size(); ++i) {
        SetWindowPos(byId_.at(order[i]->id), byId_.at(order[i - 1]->id), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

HWND FormLayout::control(int id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

void FormLayout::setWidth(HWND control, int width) {
    for (Placed& p : controls_) {
        if (p.hwnd != control) continue;
        p.place.width = width;
        place(p);
    }
}

void FormLayout::setStretch(SIZE stretch) {
    stretch_ = stretch;
    for (const Placed& p : controls_)
        if (p.follow != app::Follow::Stays) place(p);
}

void FormLayout::skipCutOffControls() const {
    if (!table_) return;
    // What lies below the layout's lower edge stays below the client area's
    // however large it grows: the stretch moves it down as far.
    RECT client{};
    GetClientRect(form_, &client);
    const auto reached =
        app::tabOrder(*table_, pixelsToTwips(client.bottom - stretch_.cy, static_cast<int>(dpi_)));
    for (const app::Control& c : table_->controls) {
        if (c.tab == app::kNoTab) continue;
        HWND h = control(c.id);
        const bool inView = std::find_if(reached.begin(), reached.end(), [&c](const auto* r) {
                                return r->id == c.id;
                            }) != reached.end();
        const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        SetWindowLongPtrW(h, GWL_STYLE, inView ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void FormLayout::setDpi(UINT dpi) {
    dpi_ = dpi;
    const HFONT old[] = {font_, smallFont_};
    font_ = messageFont(dpi);
    smallFont_ = messageFont(dpi, kSmallPercent);
    for (const Placed& p : controls_) {
        SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(p.small ? smallFont_ : font_),
                     FALSE);
        place(p);
    }
    for (HFONT f : old)
        if (f) DeleteObject(f);
    InvalidateRect(form_, nullptr, TRUE);
}

void FormLayout::place(const Placed& p) const {
    const app::Rect r = app::followed(
        {pixels(p.place.left), pixels(p.place.top), pixels(p.place.width), pixels(p.place.height)},
        p.follow, stretch_.cx, stretch_.cy);
    SetWindowPos(p.hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brim::win
