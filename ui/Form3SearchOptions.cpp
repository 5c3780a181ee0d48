#include "ui/Form3SearchOptions.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/DialogForms.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::form3;

Form3::Form3(app::SearchOptionsDialog& options, QWidget* parent)
    : FormDialog(app::searchOptionsForm(), parent), options_(options) {
    useDialogFont(this);
    for (int i = 0; i < 5; ++i) {
        auto* box = control<QCheckBox>(Check1 + i);
        setCheckValue(box, options_.check(i + 1));
        connect(box, &QCheckBox::stateChanged, this,
                [this, box, i] { options_.setCheck(i + 1, checkValue(box)); });
    }
    auto* option1 = control<QRadioButton>(Option1);
    (options_.option1() ? option1 : control<QRadioButton>(Option2))->setChecked(true);
    connect(option1, &QRadioButton::toggled, this, [this](bool on) { options_.setOption1(on); });
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, [this] {
        options_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
