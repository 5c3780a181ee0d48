#include "ui/Form5.h"

#include <QCheckBox>
#include <QPushButton>

#include "core/Opening.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"
#include "ui/Messages.h"

namespace brim::ui {

Form5::Form5(platform::ProgramShortcuts& shortcuts, Dialogs& dialogs, std::string sendToDir,
             std::string desktopDir, QWidget* parent)
    : QDialog(parent),
      shortcuts_(shortcuts),
      dialogs_(dialogs),
      sendToDir_(std::move(sendToDir)),
      desktopDir_(std::move(desktopDir)) {
    setObjectName("Form5");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("ショートカットの作成"));
    setFixedSize(twipsToPixels(QSize(3120, 2160)));
    Check1 = makeCheckBox(QStringLiteral("「送る」メニューに追加する"), this, "Check1",
                          {360, 240, 2415, 375}, true);
    Check2 = makeCheckBox(QStringLiteral("デスクトップに作成する"), this, "Check2",
                          {360, 720, 2295, 375}, true);
    Command1 = new QPushButton(QStringLiteral("作成"));
    place(Command1, this, "Command1", {480, 1320, 855, 495});
    Command2 = new QPushButton(QStringLiteral("中止"));
    place(Command2, this, "Command2", {1800, 1320, 855, 495});
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
}

void Form5::Command1_Click() {
    if (const std::string refusal = shortcuts_.refusal(); !refusal.empty()) {
        // Nothing can be written for either folder: said once, not per folder.
        if (checkValue(Check1) == 1 || checkValue(Check2) == 1) {
            dialogs_.message(this,
                             QStringLiteral("ショートカットを作成できませんでした。\n%1")
                                 .arg(QString::fromStdString(core::VisibleControls(refusal))));
        }
        hide();
        return;
    }
    const std::pair<QCheckBox*, const std::string*> targets[] = {{Check1, &sendToDir_},
                                                                 {Check2, &desktopDir_}};
    for (const auto& [box, folder] : targets) {
        if (checkValue(box) != 1) continue;
        if (const auto r = shortcuts_.create(*folder); !r) {
            dialogs_.message(this, QStringLiteral("ショートカットを作成できませんでした。\n%1\n%2")
                                       .arg(QString::fromStdString(*folder), reasonText(r)));
        }
    }
    hide();
}

void Form5::Command2_Click() {
    hide();
}

}  // namespace brim::ui
