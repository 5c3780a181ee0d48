#include "win/Forms.h"

namespace brim::win {
namespace {
enum { Check1 = 101, Check2, Command1 };
}

Form7AutoCopyDialog::Form7AutoCopyDialog(app::AutoCopyDialog& autoCopy)
    : ModalDialog("Auto Copyの設定", 3705, 2205), autoCopy_(autoCopy) {}

void Form7AutoCopyDialog::onInit() {
    // The captions are long for the form's boxes: each wraps onto two lines.
    checkBox("IEがひとつの場合、自動的に取り込む", Check1, {240, 180, 3255, 495},
             autoCopy_.check(1));
    checkBox("適合するブックマークがひとつしかない場合、自動的に取り込む", Check2,
             {240, 780, 3255, 555}, autoCopy_.check(2));
    for (int id : {Check1, Check2}) {
        SetWindowLongPtrW(item(id), GWL_STYLE,
                          GetWindowLongPtrW(item(id), GWL_STYLE) | BS_MULTILINE);
    }
    button("OK", Command1, {2280, 1440, 735, 495});
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
