#include "ui/Form4ExportOptions.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::form4;

Form4::Form4(app::HtmlOptionsDialog& options, QWidget* parent)
    : FormDialog(app::exportOptionsForm(), parent), options_(options) {
    useDialogFont(this);
    for (int i = 0; i < 3; ++i) {
        auto* box = control<QCheckBox>(Check1 + i);
        setCheckValue(box, options_.check(i + 1));
        connect(box, &QCheckBox::stateChanged, this,
                [this, box, i] { options_.setCheck(i + 1, checkValue(box)); });
    }
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, [this] {
        options_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
