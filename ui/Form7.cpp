#include "ui/Form7.h"

#include <QCheckBox>
#include <QPushButton>

#include "core/Settings.h"
#include "ui/Form3.h"
#include "ui/Layout.h"

namespace brim::ui {

Form7::Form7(const core::Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setObjectName("Form7");
    setWindowTitle(QStringLiteral("Auto Copyの設定"));
    setFixedSize(twipsToPixels(QSize(3705, 2205)));
    Check1 = new QCheckBox(QStringLiteral("IEがひとつの場合、自動的に取り込む"));
    place(Check1, this, "Check1", {240, 240, 3255, 375});
    Check1->setChecked(true);
    Check2 =
        new QCheckBox(QStringLiteral("適合するブックマークがひとつしかない場合、自動的に取り込む"));
    place(Check2, this, "Check2", {240, 840, 3135, 375});
    Check2->setChecked(true);
    // The long captions wrap within the design's narrow boxes.
    for (QCheckBox* box : {Check1, Check2}) {
        box->setStyleSheet("QCheckBox { font-size: 10px; }");
        QObject::connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
    Command1 = new QPushButton("OK");
    place(Command1, this, "Command1", {2280, 1440, 735, 495});
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
}

void Form7::Command1_Click() {
    profile_.WriteSetting("AutoCopy", "IE", core::settings::CheckBoxSetting(checkValue(Check1)));
    profile_.WriteSetting("AutoCopy", "File", core::settings::CheckBoxSetting(checkValue(Check2)));
    hide();
}

}  // namespace brim::ui
