#include "ui/Form5Shortcuts.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

Form5::Form5(app::Window& window, QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("ショートカットの作成"));
    setFixedSize(twipsToPixels(QSize(3120, 2160)));
    QCheckBox* check1 = makeCheckBox(QStringLiteral("「送る」メニューに追加する"), this, "Check1",
                                     {360, 240, 2415, 375}, true);
    QCheckBox* check2 = makeCheckBox(QStringLiteral("デスクトップに作成する"), this, "Check2",
                                     {360, 720, 2295, 375}, true);
    auto* command1 = new QPushButton(QStringLiteral("作成"));
    place(command1, this, "Command1", {480, 1320, 855, 495});
    auto* command2 = new QPushButton(QStringLiteral("中止"));
    place(command2, this, "Command2", {1800, 1320, 855, 495});
    connect(command1, &QPushButton::clicked, this, [this, &window, check1, check2] {
        window.createShortcuts(checkValue(check1) == 1, checkValue(check2) == 1);
        hide();
    });
    connect(command2, &QPushButton::clicked, this, &Form5::hide);
}

}  // namespace brim::ui
