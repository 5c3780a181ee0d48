#include "ui/InputBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/DialogForms.h"
#include "ui/Layout.h"

namespace brim::ui {

using namespace app::inputBox;

InputBox::InputBox(const std::string& title, const std::string& prompt, const std::string& initial,
                   QWidget* parent)
    : FormDialog(app::inputBoxForm(), parent), Text1(control<QLineEdit>(app::inputBox::Text1)) {
    useDialogFont(this);
    setWindowTitle(QString::fromStdString(title));
    auto* label = control<QLabel>(Label1);
    label->setText(QString::fromStdString(prompt));
    // The prompt starts at the top of its place, beside "OK", however few its lines.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1->setText(QString::fromStdString(initial));
    Text1->selectAll();
    auto* ok = control<QPushButton>(Command1);
    // Enter is "OK", wherever the focus is.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(control<QPushButton>(Command2), &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> InputBox::ask() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Text1->text().toStdString();
}

}  // namespace brim::ui
