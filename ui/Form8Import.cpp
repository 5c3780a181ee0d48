#include "ui/Form8Import.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/Layout.h"

namespace brim::ui {

using app::form8::kChooserTitle;

Form8::Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
             app::Prompts& prompts, QWidget* parent)
    : FormDialog(app::importForm(), parent),
      Combo1(control<QComboBox>(app::form8::Combo1)),
      Text1(control<QLineEdit>(app::form8::Text1)),
      Text2(control<QLineEdit>(app::form8::Text2)),
      ProgressBar1(control<QProgressBar>(app::form8::ProgressBar1)),
      Label4(control<QLabel>(app::form8::Label4)),
      Command1(control<QPushButton>(app::form8::Command1)),
      Command2(control<QPushButton>(app::form8::Command2)),
      Command3(control<QPushButton>(app::form8::Command3)) {
    useDialogFont(this);
    for (const auto& caption : app::ImportDialog::SourceCaptions())
        Combo1->addItem(QString::fromStdString(caption));

    rules_ = std::make_unique<app::ImportDialog>(catalog, browsers, prompts,
                                                 static_cast<app::ImportView&>(*this));
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { rules_->proposeFolder(); });
    connect(Text1, &QLineEdit::textEdited, this, [this] { rules_->proposeFolder(); });
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::hide);
    connect(Command3, &QPushButton::clicked, this, &Form8::Command3_Click);
}

void Form8::Command1_Click() {
    rules_->Command1_Click();
}

void Form8::Command3_Click() {
    rules_->fileChosen(
        QFileDialog::getOpenFileName(this, QString::fromUtf8(kChooserTitle)).toStdString());
}

int Form8::sourceIndex() const {
    return Combo1->currentIndex();
}

std::string Form8::fileText() const {
    return Text1->text().toStdString();
}

void Form8::setFileText(const std::string& text) {
    Text1->setText(QString::fromStdString(text));
}

std::string Form8::folderText() const {
    return Text2->text().toStdString();
}

void Form8::setFolderText(const std::string& text) {
    Text2->setText(QString::fromStdString(text));
}

void Form8::setProgress(std::size_t done, std::size_t total) {
    ProgressBar1->setRange(0, static_cast<int>(total));
    ProgressBar1->setValue(static_cast<int>(done));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form8::setSummary(const std::string& text) {
    Label4->setText(QString::fromStdString(text));
}

void Form8::setBusy(bool busy) {
    Command1->setEnabled(!busy);
    Command2->setEnabled(!busy);
    Command3->setEnabled(!busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace brim::ui
