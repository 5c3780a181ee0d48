#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::form4;

Form4ExportOptionsDialog::Form4ExportOptionsDialog(app::HtmlOptionsDialog& options)
    : ModalDialog(app::exportOptionsForm()), options_(options) {}

void Form4ExportOptionsDialog::onInit() {
    for (int i = 0; i < 3; ++i)
        setCheckValue(item(Check1 + i), options_.check(i + 1));
}

bool Form4ExportOptionsDialog::onCommand(int id, int) {
    if (id >= Check1 && id <= Check3) {
        options_.setCheck(id - Check1 + 1, toggle(item(id)));
        return true;
    }
    if (id != Command1 && id != IDOK) return false;
    options_.Command1_Click();
    close(IDOK);
    return true;
}

}  // namespace brim::win
