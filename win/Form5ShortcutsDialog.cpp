#include "win/Forms.h"

namespace brim::win {
namespace {
enum { Check1 = 101, Check2, Command1, Command2 };
}

Form5ShortcutsDialog::Form5ShortcutsDialog(app::Window& window, Choice& choice)
    : ModalDialog("ショートカットの作成", 3120, 2160), window_(window), choice_(choice) {}

void Form5ShortcutsDialog::onInit() {
    checkBox("「送る」メニューに追加する", Check1, {360, 240, 2415, 375}, choice_.sendTo);
    checkBox("デスクトップに作成する", Check2, {360, 720, 2295, 375}, choice_.desktop);
    button("作成", Command1, {480, 1320, 855, 495});
    button("中止", Command2, {1800, 1320, 855, 495});
}

bool Form5ShortcutsDialog::onCommand(int id, int) {
    switch (id) {
        case Check1:
            choice_.sendTo = toggle(item(id));
            return true;
        case Check2:
            choice_.desktop = toggle(item(id));
            return true;
        case Command1:
        case IDOK:
            // The dialog goes first, so that a message about a failure shows
            // over the main window.
            close(IDOK);
            window_.createShortcuts(choice_.sendTo == BST_CHECKED, choice_.desktop == BST_CHECKED);
            return true;
        case Command2:
            close(IDCANCEL);
            return true;
        default:
            return false;
    }
}

}  // namespace brim::win
