#include "ui/Form2.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ui/Layout.h"

namespace brim::ui {

core::KeywordList comboItems(const QComboBox* box) {
    core::KeywordList items;
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

void setComboItems(QComboBox* box, const core::KeywordList& items) {
    // Refilling the list must not change what the user typed.
    const QString text = box->currentText();
    box->clear();
    for (const auto& item : items)
        box->addItem(QString::fromStdString(item));
    box->setEditText(text);
}

Form2::Form2(const core::Profile& profile, QComboBox* keywordBox, QWidget* parent)
    : QDialog(parent), profile_(profile), keywordBox_(keywordBox) {
    setObjectName("Form2");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("固定キーワード登録"));
    setFixedSize(twipsToPixels(QSize(5070, 3525)));
    List1 = new QListWidget;
    place(List1, this, "List1", {1200, 240, 3615, 1680});
    Text1 = new QLineEdit;
    place(Text1, this, "Text1", {1200, 2040, 3615, 375});
    place(new QLabel(QStringLiteral("キーワード")), this, "Label1", {240, 2040, 975, 375});
    place(new QLabel(QStringLiteral("登録リスト")), this, "Label2", {240, 360, 855, 255});
    Command1 = new QPushButton(QStringLiteral("登録"));
    place(Command1, this, "Command1", {1365, 2640, 800, 500});
    Command2 = new QPushButton(QStringLiteral("終了"));
    place(Command2, this, "Command2", {3960, 2640, 800, 500});
    Command3 = new QPushButton(QStringLiteral("削除"));
    place(Command3, this, "Command3", {2640, 2640, 800, 500});
    setTabOrder(List1, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(List1, &QListWidget::itemClicked, this, &Form2::List1_Click);
}

core::KeywordList Form2::fixedKeywords() const {
    core::KeywordList items;
    for (int i = 0; i < List1->count(); ++i)
        items.push_back(List1->item(i)->text().toStdString());
    return items;
}

void Form2::setFixedKeywords(const core::KeywordList& list) {
    List1->clear();
    for (const auto& k : list)
        List1->addItem(QString::fromStdString(k));
}

void Form2::Command1_Click() {
    const std::string k = Text1->text().toStdString();
    Text1->clear();
    core::KeywordList list = comboItems(keywordBox_);
    core::KeywordList fixed = fixedKeywords();
    if (!core::RegisterFixedKeyword(list, fixed, k)) return;
    setFixedKeywords(fixed);
    setComboItems(keywordBox_, list);
    SaveFixedKeywords();
}

void Form2::Command3_Click() {
    const std::string k = Text1->text().toStdString();
    Text1->clear();
    core::KeywordList list = comboItems(keywordBox_);
    core::KeywordList fixed = fixedKeywords();
    core::DeleteFixedKeyword(list, fixed, k);
    setFixedKeywords(fixed);
    setComboItems(keywordBox_, list);
    SaveFixedKeywords();
}

void Form2::List1_Click() {
    if (const QListWidgetItem* item = List1->currentItem()) Text1->setText(item->text());
}

void Form2::Command2_Click() {
    hide();
}

void Form2::SaveFixedKeywords() {
    core::WriteKeywordKeys(profile_, 'D', fixedKeywords());
}

}  // namespace brim::ui
