#include "ui/Form6About.h"

#include <QLabel>
#include <QPushButton>

#include "app/DialogForms.h"

namespace brim::ui {

using namespace app::form6;

Form6::Form6(app::Window& window, QWidget* parent) : FormDialog(app::aboutForm(), parent) {
    QFont bold = font();
    bold.setPointSize(9);
    bold.setBold(true);
    for (const int id : {Label1, Label2, Label3})
        control<QLabel>(id)->setFont(bold);
    connect(control<QLabel>(Label2), &QLabel::linkActivated, this, [this, &window] {
        window.openHomePage();
        hide();
    });
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, &Form6::hide);
}

}  // namespace brim::ui
