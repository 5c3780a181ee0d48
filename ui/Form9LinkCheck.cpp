#include "ui/Form9LinkCheck.h"

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/Layout.h"

namespace brim::ui {

Form9::Form9(app::Window& window, QWidget* parent)
    : FormDialog(app::linkCheckForm(), parent),
      Label1(control<QLabel>(app::form9::Label1)),
      ProgressBar1(control<QProgressBar>(app::form9::ProgressBar1)),
      Label2(control<QLabel>(app::form9::Label2)),
      Command1(control<QPushButton>(app::form9::Command1)),
      Command2(control<QPushButton>(app::form9::Command2)),
      Check1(control<QCheckBox>(app::form9::Check1)),
      Text1(control<QLineEdit>(app::form9::Text1)),
      Command3(control<QPushButton>(app::form9::Command3)) {
    useDialogFont(this);
    connect(Command1, &QPushButton::clicked, this, [this] { rules_->Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { rules_->Command3_Click(); });
    // Closes even while the check runs; the rules stop it then.
    connect(Command2, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    rules_ =
        std::make_unique<app::LinkCheckDialog>(window, static_cast<app::LinkCheckView&>(*this));
}

Form9::~Form9() = default;

void Form9::reject() {
    if (rules_ && rules_->running()) {
        rules_->Command1_Click();
        return;
    }
    QDialog::reject();
}

void Form9::setTarget(const std::string& text) {
    Label1->setText(QString::fromStdString(text));
}

void Form9::setProgress(std::size_t done, std::size_t total) {
    // An empty check shows a bar at its end, not a busy one.
    ProgressBar1->setRange(0, std::max(1, static_cast<int>(total)));
    ProgressBar1->setValue(total ? static_cast<int>(done) : 1);
}

void Form9::setCounts(const std::string& text) {
    Label2->setText(QString::fromStdString(text));
}

void Form9::setRunning(bool running) {
    Command1->setEnabled(running);
    Command3->setEnabled(!running);
    if (!running) Command2->setFocus();
}

bool Form9::onlyUnchecked() const {
    return Check1->isChecked();
}

std::string Form9::daysText() const {
    return Text1->text().toStdString();
}

void Form9::setChoice(bool onlyUnchecked, const std::string& days) {
    Check1->setChecked(onlyUnchecked);
    Text1->setText(QString::fromStdString(days));
}

}  // namespace brim::ui
