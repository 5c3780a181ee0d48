#include "ui/Form4.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "ui/Form3.h"
#include "ui/Layout.h"

namespace brim::ui {

Form4::Form4(const core::Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setObjectName("Form4");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("検索結果のファイルへの出力"));
    setFixedSize(twipsToPixels(QSize(3900, 2250)));
    place(new QLabel(QStringLiteral("HTMLのオプション：")), this, "Label3", {360, 240, 1575, 375});
    Check1 = new QCheckBox(QStringLiteral("インターネットアドレスを表示する"));
    place(Check1, this, "Check1", {480, 480, 2895, 255});
    Check2 = new QCheckBox(QStringLiteral("コメントを出力する"));
    place(Check2, this, "Check2", {480, 840, 2175, 255});
    Check2->setChecked(true);
    for (QCheckBox* box : {Check1, Check2}) {
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
    Command1 = new QPushButton(QStringLiteral("閉じる"));
    place(Command1, this, "Command1", {1440, 1320, 1095, 495});
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
}

core::StoredHtmlOptions Form4::stored() const {
    return {checkValue(Check1), checkValue(Check2)};
}

void Form4::Command1_Click() {
    core::SaveHtmlOptions(profile_, stored());
    hide();
}

}  // namespace brim::ui
