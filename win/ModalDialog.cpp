#include "win/ModalDialog.h"

#include <vector>

namespace brim::win {

INT_PTR ModalDialog::run(HWND owner) {
    // An empty template: no controls, no font; the controls are added when
    // it opens, and the window's size comes from the form.
    std::vector<WORD> tmpl(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(tmpl.data());
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t->cx = 100;
    t->cy = 50;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t, owner, &ModalDialog::proc,
                                   reinterpret_cast<LPARAM>(this));
}

void ModalDialog::setCheckValue(HWND box, int value) {
    SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

int ModalDialog::checkValue(HWND box) {
    // BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are the values 0, 1
    // and 2 the rules keep.
    return static_cast<int>(SendMessageW(box, BM_GETCHECK, 0, 0));
}

int ModalDialog::toggle(HWND box) {
    const int value = checkValue(box) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    return value;
}

INT_PTR CALLBACK ModalDialog::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            self = reinterpret_cast<ModalDialog*>(lp);
            SetWindowLongPtrW(hwnd, DWLP_USER, lp);
            self->hwnd_ = hwnd;
            self->layout_ = std::make_unique<FormLayout>(hwnd);
            setWindowText(hwnd, self->caption_);
            // The form gives a dialog's client area in twips.
            const UINT dpi = GetDpiForWindow(hwnd);
            RECT outer{0, 0, twipsToPixels(self->width_, static_cast<int>(dpi)),
                       twipsToPixels(self->height_, static_cast<int>(dpi))};
            AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                                     FALSE,
                                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)), dpi);
            SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                         SWP_NOMOVE | SWP_NOZORDER);
            // Centred over the window that opened it.
            RECT own{}, me{};
            GetWindowRect(
                GetWindow(hwnd, GW_OWNER) ? GetWindow(hwnd, GW_OWNER) : GetDesktopWindow(), &own);
            GetWindowRect(hwnd, &me);
            SetWindowPos(hwnd, nullptr,
                         own.left + ((own.right - own.left) - (me.right - me.left)) / 2,
                         own.top + ((own.bottom - own.top) - (me.bottom - me.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            if (self->form_) {
                self->layout_->build(*self->form_);
                if (self->form_->focus) SetFocus(self->item(self->form_->focus));
            }
            self->onInit();
            // FALSE keeps the focus where it was put.
            return IsChild(hwnd, GetFocus()) ? FALSE : TRUE;
        }
        case WM_COMMAND: {
            if (!self) return FALSE;
            const int id = LOWORD(wp);
            if (self->onCommand(id, HIWORD(wp))) return TRUE;
            if (id == IDCANCEL) {
                self->close(IDCANCEL);
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY:
            if (!self) return FALSE;
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT,
                              self->onNotify(*reinterpret_cast<const NMHDR*>(lp)));
            return TRUE;
        case WM_DPICHANGED: {
            if (!self) return FALSE;
            self->layout_->setDpi(HIWORD(wp));
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace brim::win
