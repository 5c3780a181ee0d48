#pragma once
// A modal dialog made from its form's table: the caption, the client size in
// twips and the controls, made when it opens. The dialog box manager gives Tab, Enter and
// Esc their usual meaning; the state the controls show lives in app/.

#include <windows.h>

#include <memory>
#include <string>

#include "win/Controls.h"

namespace brim::win {

class ModalDialog {
  public:
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog over `owner` until it is closed; returns the id that closed it.
    INT_PTR run(HWND owner);

  protected:
    // The form's table gives the caption, the client area's size and the controls.
    explicit ModalDialog(const app::Form& form)
        : form_(&form),
          caption_(form.caption),
          width_(form.client.width),
          height_(form.client.height) {}
    // The same, under a caption of its own.
    ModalDialog(const app::Form& form, std::string caption) : ModalDialog(form) {
        caption_ = std::move(caption);
    }
    // A dialog that adds its own controls: the client area's width and height in twips.
    ModalDialog(std::string caption, int widthTwips, int heightTwips)
        : caption_(std::move(caption)), width_(widthTwips), height_(heightTwips) {}

    // Shows the state in the controls (adds them, without a table); the
    // dialog is there but not yet shown.
    virtual void onInit() = 0;
    // A control's command; the dialog closes on IDCANCEL (Esc, the close box)
    // unless this takes it.
    virtual bool onCommand(int id, int code) = 0;
    virtual LRESULT onNotify(const NMHDR&) { return 0; }

    HWND add(const wchar_t* windowClass, std::string_view text, DWORD style, int id,
             TwipsRect place, DWORD exStyle = 0) {
        return layout_->add(windowClass, text, style, id, place, exStyle);
    }
    HWND label(std::string_view text, TwipsRect place) {
        return add(L"STATIC", text, SS_LEFT, -1, place);
    }
    HWND button(std::string_view text, int id, TwipsRect place) {
        return add(L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, id, place);
    }
    static void setCheckValue(HWND box, int value);
    static int checkValue(HWND box);
    // A click on a check box: checked becomes unchecked, anything else checked.
    static int toggle(HWND box);
    void close(INT_PTR result) { EndDialog(hwnd_, result); }
    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

  private:
    static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    const app::Form* form_ = nullptr;
    std::string caption_;
    int width_, height_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<FormLayout> layout_;
};

}  // namespace brim::win
