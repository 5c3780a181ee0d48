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

// The system's message font, as large as it is meant to be at `dpi`.
HFONT messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

FormLayout::FormLayout(HWND form) : form_(form), dpi_(GetDpiForWindow(form)) {
    font_ = messageFont(dpi_);
}

FormLayout::~FormLayout() {
    if (font_) DeleteObject(font_);
}

HWND FormLayout::add(const wchar_t* windowClass, std::string_view text, DWORD style, int id,
                     TwipsRect r, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, windowClass, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, form_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) return nullptr;
    controls_.emplace_back(control, r);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    place(control, r);
    return control;
}

void FormLayout::move(HWND control, TwipsRect r) {
    for (auto& [hwnd, place_] : controls_) {
        if (hwnd != control) continue;
        place_ = r;
        place(control, r);
    }
}

const TwipsRect* FormLayout::placeOf(HWND control) const {
    for (const auto& [hwnd, r] : controls_) {
        if (hwnd == control) return &r;
    }
    return nullptr;
}

void FormLayout::setDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT old = font_;
    font_ = messageFont(dpi);
    for (const auto& [hwnd, r] : controls_) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        place(hwnd, r);
    }
    if (old) DeleteObject(old);
    InvalidateRect(form_, nullptr, TRUE);
}

void FormLayout::place(HWND control, const TwipsRect& r) const {
    SetWindowPos(control, nullptr, pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brim::win
