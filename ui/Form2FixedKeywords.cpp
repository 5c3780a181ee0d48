#include "ui/Form2FixedKeywords.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ui/Layout.h"

namespace brim::ui {

Form2::Form2(app::KeywordBox& keywords, QWidget* parent) : QDialog(parent), keywords_(keywords) {
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
    showFixed();

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::hide);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(List1, &QListWidget::itemClicked, this, &Form2::List1_Click);
}

void Form2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Text1->setFocus();
}

void Form2::showFixed() {
    List1->clear();
    for (const auto& k : keywords_.fixedKeywords())
        List1->addItem(QString::fromStdString(k));
}

void Form2::Command1_Click() {
    const std::string k = Text1->text().toStdString();
    Text1->clear();
    keywords_.registerFixed(k);
    showFixed();
}

void Form2::Command3_Click() {
    const std::string k = Text1->text().toStdString();
    Text1->clear();
    keywords_.deleteFixed(k);
    showFixed();
}

void Form2::List1_Click() {
    if (const QListWidgetItem* item = List1->currentItem()) Text1->setText(item->text());
}

}  // namespace brim::ui
