#include "ui/Form2FixedKeywords.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::form2;

Form2::Form2(app::KeywordBox& keywords, QWidget* parent)
    : FormDialog(app::fixedKeywordsForm(), parent), keywords_(keywords) {
    useDialogFont(this);
    showFixed();
    connect(control<QPushButton>(Command1), &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(control<QPushButton>(Command2), &QPushButton::clicked, this, &Form2::hide);
    connect(control<QPushButton>(Command3), &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(control<QListWidget>(List1), &QListWidget::itemClicked, this, &Form2::List1_Click);
}

void Form2::showFixed() {
    auto* list = control<QListWidget>(List1);
    list->clear();
    for (const auto& k : keywords_.fixedKeywords())
        list->addItem(QString::fromStdString(k));
}

void Form2::Command1_Click() {
    auto* text = control<QLineEdit>(Text1);
    const std::string k = text->text().toStdString();
    text->clear();
    keywords_.registerFixed(k);
    showFixed();
}

void Form2::Command3_Click() {
    auto* text = control<QLineEdit>(Text1);
    const std::string k = text->text().toStdString();
    text->clear();
    keywords_.deleteFixed(k);
    showFixed();
}

void Form2::List1_Click() {
    if (const QListWidgetItem* item = control<QListWidget>(List1)->currentItem())
        control<QLineEdit>(Text1)->setText(item->text());
}

}  // namespace brim::ui
