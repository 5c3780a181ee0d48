#pragma once
// What every form of the Windows front end shares: text between UTF-8 and
// the wide API, the forms' font, and controls placed in twips that follow the
// window's DPI.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

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

// How a control follows the form's client area when the user enlarges it
// beyond its layout: the list takes the room, what lies below it moves down,
// and the edit boxes take the width.
enum class Follow { Stays, Grows, MovesDown, MovesDownWidens, MovesDownRight };

// The controls of one form, each at its place in the form's twips. They are
// placed again, with a font of the new size, when the form moves to a
// monitor of another DPI.
class FormLayout {
  public:
    explicit FormLayout(HWND form);
    ~FormLayout();
    FormLayout(const FormLayout&) = delete;
    FormLayout& operator=(const FormLayout&) = delete;

    HWND add(const wchar_t* windowClass, std::string_view text, DWORD style, int id,
             TwipsRect place, DWORD exStyle = 0);
    // A label in a smaller face: the form's labels are narrow, and their
    // words stay whole in it.
    HWND addLabel(std::string_view text, TwipsRect place, int id = -1);
    // A control's place in the form, changed (the keyword box's width follows the mode).
    void move(HWND control, TwipsRect place);
    void follow(HWND control, Follow how);
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
        bool tabStop;  // created as a tab stop
        Follow follow = Follow::Stays;
    };
    void place(const Placed& p) const;

    std::vector<Placed> controls_;
    SIZE stretch_{0, 0};
};

}  // namespace brim::win
