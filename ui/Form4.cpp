#include "ui/Form4.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

Form4::Form4(const core::Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setObjectName("Form4");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("検索結果のファイルへの出力"));
    // Taller than the two HTML boxes need, for the CSV box below them.
    setFixedSize(twipsToPixels(QSize(3900, 2610)));
    place(new QLabel(QStringLiteral("HTMLのオプション：")), this, "Label3", {360, 240, 1575, 375});
    Check1 = makeCheckBox(QStringLiteral("インターネットアドレスを表示する"), this, "Check1",
                          {480, 480, 2895, 255}, false);
    Check2 = makeCheckBox(QStringLiteral("コメントを出力する"), this, "Check2",
                          {480, 840, 2175, 255}, true);
    Check3 = makeCheckBox(QStringLiteral("CSVファイルを UTF-8 で出力する"), this, "Check3",
                          {480, 1200, 3135, 255}, false);
    Command1 = new QPushButton(QStringLiteral("閉じる"));
    place(Command1, this, "Command1", {1440, 1680, 1095, 495});
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
}

core::StoredHtmlOptions Form4::stored() const {
    return {checkValue(Check1), checkValue(Check2), checkValue(Check3)};
}

void Form4::Command1_Click() {
    core::SaveHtmlOptions(profile_, stored());
    hide();
}

}  // namespace brim::ui
