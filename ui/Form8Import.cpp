#include "ui/Form8Import.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "ui/Layout.h"

namespace brim::ui {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect twips) {
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    place(l, parent, name, twips);
    return l;
}

}  // namespace

Form8::Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
             app::Prompts& prompts, QWidget* parent)
    : QDialog(parent) {
    setObjectName("Form8");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("ブラウザからインポート"));
    setFixedSize(twipsToPixels(QSize(5400, 3900)));
    label(this, "Label1", QStringLiteral("取り込み元："), {240, 240, 1200, 255});
    Combo1 = new QComboBox;
    for (const auto& caption : app::ImportDialog::SourceCaptions())
        Combo1->addItem(QString::fromStdString(caption));
    place(Combo1, this, "Combo1", {1440, 200, 3600, 300});
    label(this, "Label2", QStringLiteral("ファイル："), {240, 720, 1200, 255});
    Text1 = new QLineEdit;
    Text1->setPlaceholderText(QStringLiteral("空欄ならブラウザの既定のプロファイル"));
    place(Text1, this, "Text1", {1440, 680, 2880, 300});
    Command3 = new QPushButton(QStringLiteral("参照…"));
    place(Command3, this, "Command3", {4380, 660, 660, 340});
    label(this, "Label3", QStringLiteral("取り込み先 フォルダ："), {240, 1160, 1200, 375});
    Text2 = new QLineEdit;
    place(Text2, this, "Text2", {1440, 1160, 3600, 300});
    ProgressBar1 = new QProgressBar;
    place(ProgressBar1, this, "ProgressBar1", {240, 1680, 4800, 300});
    Label4 = label(this, "Label4", {}, {240, 2100, 4800, 900});
    Command1 = new QPushButton(QStringLiteral("インポート"));
    place(Command1, this, "Command1", {2400, 3120, 1200, 495});
    Command2 = new QPushButton(QStringLiteral("閉じる"));
    place(Command2, this, "Command2", {3720, 3120, 1200, 495});

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
        QFileDialog::getOpenFileName(this, QStringLiteral("ブックマークファイル")).toStdString());
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
