#include "ui/Form3.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {

Form3::Form3(const core::Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setObjectName("Form3");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("キーワード検索のオプション"));
    setFixedSize(twipsToPixels(QSize(5610, 3150)));

    Command1 = new QPushButton(QStringLiteral("閉じる"));
    place(Command1, this, "Command1", {4440, 2040, 615, 495});
    place(new QLabel(QStringLiteral("検索対象：")), this, "Label1", {360, 360, 975, 255});
    Check2 =
        makeCheckBox(QStringLiteral("フォルダ名"), this, "Check2", {1440, 360, 1695, 255}, true);
    Check3 = makeCheckBox(QStringLiteral("お気に入り登録名"), this, "Check3",
                          {3600, 360, 1815, 255}, true);
    Check4 = makeCheckBox(QStringLiteral("インターネットURL"), this, "Check4",
                          {1440, 720, 1815, 375}, true);
    Check5 = makeCheckBox(QStringLiteral("コメント"), this, "Check5", {3600, 720, 1215, 375}, true);
    Check1 = makeCheckBox(QStringLiteral("大文字と小文字を区別しない"), this, "Check1",
                          {360, 1320, 2655, 375}, true);
    auto* picture2 = new QFrame;
    place(picture2, this, "Picture2", {360, 1800, 3255, 975});
    place(new QLabel(QStringLiteral("2つ以上のキーワードによる検索方法")), picture2, "Label3",
          {120, 120, 3015, 255});
    place(new QLabel, picture2, "Label2", {360, 120, 735, 375});
    Option1 = new QRadioButton(QStringLiteral("OR検索"));
    place(Option1, picture2, "Option1", {600, 480, 975, 255});
    Option2 = new QRadioButton(QStringLiteral("AND検索"));
    place(Option2, picture2, "Option2", {1680, 480, 1095, 255});
    setTabOrder(Command1, Check2);

    const core::StoredSearchOptions loaded = core::LoadSearchOptions(profile_);
    QCheckBox* boxes[] = {Check1, Check2, Check3, Check4, Check5};
    for (std::size_t i = 0; i < 5; ++i)
        setCheckValue(boxes[i], loaded.checks[i]);
    (loaded.option1 ? Option1 : Option2)->setChecked(true);

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

core::StoredSearchOptions Form3::stored() const {
    return {{checkValue(Check1), checkValue(Check2), checkValue(Check3), checkValue(Check4),
             checkValue(Check5)},
            Option1->isChecked()};
}

void Form3::Command1_Click() {
    core::SaveSearchOptions(profile_, stored());
    hide();
}

}  // namespace brim::ui
