#include "ui/Form7AutoCopy.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::form7;

Form7::Form7(app::AutoCopyDialog& autoCopy, QWidget* parent)
    : FormDialog(app::autoCopyForm(), parent), autoCopy_(autoCopy) {
    useDialogFont(this);
    for (int i = 0; i < 2; ++i) {
        auto* check = control<QCheckBox>(Check1 + i);
        setCheckValue(check, autoCopy_.check(i + 1));
        connect(check, &QCheckBox::stateChanged, this,
                [this, check, i] { autoCopy_.setCheck(i + 1, checkValue(check)); });
    }
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, [this] {
        autoCopy_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
