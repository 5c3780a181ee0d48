#include "ui/Form4ExportOptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

Form4::Form4(app::HtmlOptionsDialog& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("Form4");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("検索結果のファイルへの出力"));
    // Taller than the two HTML boxes need, for the CSV box below them.
    setFixedSize(twipsToPixels(QSize(3900, 2610)));
    place(new QLabel(QStringLiteral("HTMLのオプション：")), this, "Label3", {360, 240, 1575, 375});
    QCheckBox* boxes[] = {
        makeCheckBox(QStringLiteral("インターネットアドレスを表示する"), this, "Check1",
                     {480, 480, 2895, 255}, false),
        makeCheckBox(QStringLiteral("コメントを出力する"), this, "Check2", {480, 840, 2175, 255},
                     true),
        makeCheckBox(QStringLiteral("CSVファイルを UTF-8 で出力する"), this, "Check3",
                     {480, 1200, 3135, 255}, false),
    };
    for (int i = 0; i < 3; ++i) {
        QCheckBox* box = boxes[i];
        setCheckValue(box, options_.check(i + 1));
        connect(box, &QCheckBox::stateChanged, this,
                [this, box, i] { options_.setCheck(i + 1, checkValue(box)); });
    }
    auto* command1 = new QPushButton(QStringLiteral("閉じる"));
    place(command1, this, "Command1", {1440, 1680, 1095, 495});
    connect(command1, &QPushButton::clicked, this, [this] {
        options_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
