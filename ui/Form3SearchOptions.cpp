#include "ui/Form3SearchOptions.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

Form3::Form3(app::SearchOptionsDialog& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("Form3");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("キーワード検索のオプション"));
    setFixedSize(twipsToPixels(QSize(5610, 3150)));

    Command1 = new QPushButton(QStringLiteral("閉じる"));
    place(Command1, this, "Command1", {4440, 2040, 615, 495});
    place(new QLabel(QStringLiteral("検索対象：")), this, "Label1", {360, 360, 975, 255});
    QCheckBox* boxes[] = {
        makeCheckBox(QStringLiteral("大文字と小文字を区別しない"), this, "Check1",
                     {360, 1320, 2655, 375}, true),
        makeCheckBox(QStringLiteral("フォルダ名"), this, "Check2", {1440, 360, 1695, 255}, true),
        makeCheckBox(QStringLiteral("お気に入り登録名"), this, "Check3", {3600, 360, 1815, 255},
                     true),
        makeCheckBox(QStringLiteral("インターネットURL"), this, "Check4", {1440, 720, 1815, 375},
                     true),
        makeCheckBox(QStringLiteral("コメント"), this, "Check5", {3600, 720, 1215, 375}, true),
    };
    auto* picture2 = new QFrame;
    place(picture2, this, "Picture2", {360, 1800, 3255, 975});
    place(new QLabel(QStringLiteral("2つ以上のキーワードによる検索方法")), picture2, "Label3",
          {120, 120, 3015, 255});
    place(new QLabel, picture2, "Label2", {360, 120, 735, 375});
    auto* option1 = new QRadioButton(QStringLiteral("OR検索"));
    place(option1, picture2, "Option1", {600, 480, 975, 255});
    auto* option2 = new QRadioButton(QStringLiteral("AND検索"));
    place(option2, picture2, "Option2", {1680, 480, 1095, 255});
    // "閉じる" first, then the boxes as they are listed, case folding last.
    QWidget* const order[] = {Command1, boxes[1], boxes[2], boxes[3],
                              boxes[4], boxes[0], option1,  option2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (int i = 0; i < 5; ++i) {
        QCheckBox* box = boxes[i];
        setCheckValue(box, options_.check(i + 1));
        connect(box, &QCheckBox::stateChanged, this,
                [this, box, i] { options_.setCheck(i + 1, checkValue(box)); });
    }
    (options_.option1() ? option1 : option2)->setChecked(true);
    connect(option1, &QRadioButton::toggled, this, [this](bool on) { options_.setOption1(on); });
    connect(Command1, &QPushButton::clicked, this, [this] {
        options_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
