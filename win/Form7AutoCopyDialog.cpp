#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::form7;

Form7AutoCopyDialog::Form7AutoCopyDialog(app::AutoCopyDialog& autoCopy)
    : ModalDialog(app::autoCopyForm()), autoCopy_(autoCopy) {}

void Form7AutoCopyDialog::onInit() {
    for (int i = 0; i < 2; ++i)
        setCheckValue(item(Check1 + i), autoCopy_.check(i + 1));
}

bool Form7AutoCopyDialog::onCommand(int id, int) {
    switch (id) {
        case Check1:
        case Check2:
            autoCopy_.setCheck(id - Check1 + 1, toggle(item(id)));
            return true;
        case Command1:
        case IDOK:
            autoCopy_.Command1_Click();
            close(IDOK);
            return true;
        default:
            return false;
    }
}

}  // namespace brim::win
