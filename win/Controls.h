#pragma once
// What every form of the Windows front end shares: text between UTF-8 and
// the wide API, the forms' font, and controls placed in twips that follow the
// window's DPI.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/FormTable.h"

#include "win/Twips.h"

namespace brim::win {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view utf8);

// Pixels of `twips` on `hwnd`'s monitor.
int pixelsOn(HWND hwnd, int twips);
// Sets a top-level window's outer size in twips, keeping its top-left corner.
void setOuterSizeTwips(HWND hwnd, int width, int height);

// The controls of one form, each at its place in twips. They are placed
// again, with a font of the new size, when the form moves to a monitor of
// another DPI.
class FormLayout {
  public:
    explicit FormLayout(HWND form);
    ~FormLayout();
    FormLayout(const FormLayout&) = delete;
    FormLayout& operator=(const FormLayout&) = delete;

    // Makes every control of the form's table, each as its kind is made
    // here, in the table's tab order.
    void build(const app::Form& form);
    // The control with `id`, made by build; null for none.
    HWND control(int id) const;
    HWND add(const wchar_t* windowClass, std::string_view text, DWORD style, int id,
             TwipsRect place, DWORD exStyle = 0);
    // A control's width in the form, changed (the keyword box's follows the mode).
    void setWidth(HWND control, int width);
    // How much larger (pixels) the client area is than the layout's; the
    // controls that follow it are placed again.
    void setStretch(SIZE stretch);
    // Tab passes over the controls the form's lower edge cuts off, as over
    // hidden ones; called when the form's size changed.
    void skipCutOffControls() const;
    // Places every control for `dpi`, with a font made for it.
    void setDpi(UINT dpi);
    UINT dpi() const { return dpi_; }
    HFONT font() const { return font_; }
    int pixels(int twips) const { return twipsToPixels(twips, static_cast<int>(dpi_)); }

  private:
    HWND form_;
    UINT dpi_;
    HFONT font_ = nullptr;
    HFONT smallFont_ = nullptr;
    struct Placed {
        HWND hwnd;
        TwipsRect place;
        bool small;
        app::Follow follow = app::Follow::Stays;
    };
    HWND make(const app::Control& c);
    void place(const Placed& p) const;

    const app::Form* table_ = nullptr;
    std::vector<Placed> controls_;
    std::map<int, HWND> byId_;
    bool optionBefore_ = false;  // the control made last is an option
    SIZE stretch_{0, 0};
};

}  // namespace brim::win
