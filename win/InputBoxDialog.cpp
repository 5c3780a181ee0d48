#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::inputBox;

InputBoxDialog::InputBoxDialog(const std::string& title, std::string prompt, std::string initial)
    : ModalDialog(app::inputBoxForm(), title),
      prompt_(std::move(prompt)),
      initial_(std::move(initial)) {}

void InputBoxDialog::onInit() {
    setWindowText(item(Label1), prompt_);
    HWND edit = item(Text1);
    setWindowText(edit, initial_);
    // Enter is "OK".
    SendMessageW(hwnd(), DM_SETDEFID, Command1, 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

bool InputBoxDialog::onCommand(int id, int) {
    switch (id) {
        case Command1:
        case IDOK:
            answer_ = windowText(item(Text1));
            close(IDOK);
            return true;
        case Command2:
            close(IDCANCEL);
            return true;
        default:
            return false;
    }
}

}  // namespace brim::win
