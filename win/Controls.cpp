#include "win/Controls.h"

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
    controls_.push_back({control, r, false, (style & WS_TABSTOP) != 0});
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    place(controls_.back());
    return control;
}

HWND FormLayout::addLabel(std::string_view text, TwipsRect r, int id) {
    HWND label = add(L"STATIC", text, SS_LEFT | SS_NOPREFIX, id, r);
    if (!label) return nullptr;
    controls_.back().small = true;
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(smallFont_), FALSE);
    return label;
}

void FormLayout::move(HWND control, TwipsRect r) {
    for (Placed& p : controls_) {
        if (p.hwnd != control) continue;
        p.place = r;
        place(p);
    }
}

void FormLayout::follow(HWND control, Follow how) {
    for (Placed& p : controls_) {
        if (p.hwnd != control) continue;
        p.follow = how;
        place(p);
    }
}

void FormLayout::setStretch(SIZE stretch) {
    stretch_ = stretch;
    for (const Placed& p : controls_)
        if (p.follow != Follow::Stays) place(p);
}

void FormLayout::skipCutOffControls() const {
    RECT client{};
    GetClientRect(form_, &client);
    for (const Placed& p : controls_) {
        if (!p.tabStop) continue;
        const bool inView = pixels(p.place.top) < client.bottom;
        const LONG_PTR style = GetWindowLongPtrW(p.hwnd, GWL_STYLE);
        SetWindowLongPtrW(p.hwnd, GWL_STYLE, inView ? style | WS_TABSTOP : style & ~WS_TABSTOP);
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
    int x = pixels(p.place.left), y = pixels(p.place.top);
    int w = pixels(p.place.width), h = pixels(p.place.height);
    const LONG dx = stretch_.cx, dy = stretch_.cy;
    switch (p.follow) {
        case Follow::Stays:
            break;
        case Follow::Grows:
            w += dx;
            h += dy;
            break;
        case Follow::MovesDown:
            y += dy;
            break;
        case Follow::MovesDownWidens:
            y += dy;
            w += dx;
            break;
        case Follow::MovesDownRight:
            x += dx;
            y += dy;
            break;
    }
    SetWindowPos(p.hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brim::win
