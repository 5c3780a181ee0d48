#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::form3;

Form3SearchOptionsDialog::Form3SearchOptionsDialog(app::SearchOptionsDialog& options)
    : ModalDialog(app::searchOptionsForm()), options_(options) {}

void Form3SearchOptionsDialog::onInit() {
    for (int i = 0; i < 5; ++i)
        setCheckValue(item(Check1 + i), options_.check(i + 1));
    CheckRadioButton(hwnd(), Option1, Option2, options_.option1() ? Option1 : Option2);
}

bool Form3SearchOptionsDialog::onCommand(int id, int) {
    if (id >= Check1 && id <= Check5) {
        options_.setCheck(id - Check1 + 1, toggle(item(id)));
        return true;
    }
    switch (id) {
        case Option1:
        case Option2:
            options_.setOption1(id == Option1);
            return true;
        case Command1:
        case IDOK:
            options_.Command1_Click();
            close(IDOK);
            return true;
        default:
            return false;
    }
}

}  // namespace brim::win
