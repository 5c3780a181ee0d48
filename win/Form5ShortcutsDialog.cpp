#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::form5;

Form5ShortcutsDialog::Form5ShortcutsDialog(app::Window& window, Choice& choice)
    : ModalDialog(app::shortcutsForm()), window_(window), choice_(choice) {}

void Form5ShortcutsDialog::onInit() {
    setCheckValue(item(Check1), choice_.sendTo);
    setCheckValue(item(Check2), choice_.desktop);
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
