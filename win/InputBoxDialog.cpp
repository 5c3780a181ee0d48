#include "win/Forms.h"

namespace brim::win {
namespace {
enum { Edit = 101 };
}

InputBoxDialog::InputBoxDialog(const std::string& title, std::string prompt, std::string initial)
    : ModalDialog(title, 6120, 2400), prompt_(std::move(prompt)), initial_(std::move(initial)) {}

void InputBoxDialog::onInit() {
    label(prompt_, {120, 120, 4575, 1215});
    button("OK", IDOK, {4800, 120, 1095, 375});
    button("キャンセル", IDCANCEL, {4800, 600, 1095, 375});
    HWND edit = add(L"EDIT", initial_, ES_AUTOHSCROLL | WS_TABSTOP, Edit, {120, 1440, 5775, 315},
                    WS_EX_CLIENTEDGE);
    SetWindowLongPtrW(item(IDOK), GWL_STYLE,
                      GetWindowLongPtrW(item(IDOK), GWL_STYLE) | BS_DEFPUSHBUTTON);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

bool InputBoxDialog::onCommand(int id, int) {
    if (id != IDOK) return false;
    answer_ = windowText(item(Edit));
    close(IDOK);
    return true;
}

}  // namespace brim::win
