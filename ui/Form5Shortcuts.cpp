#include "ui/Form5Shortcuts.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::form5;

Form5::Form5(app::Window& window, QWidget* parent) : FormDialog(app::shortcutsForm(), parent) {
    useDialogFont(this);
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, [this, &window] {
        window.createShortcuts(checkValue(control<QCheckBox>(Check1)) == 1,
                               checkValue(control<QCheckBox>(Check2)) == 1);
        hide();
    });
    connect(control<QPushButton>(Command2), &QPushButton::clicked, this, &Form5::hide);
}

}  // namespace brim::ui
