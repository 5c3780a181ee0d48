#include "ui/Dialogs.h"

#include "ui/InputBox.h"

#include <QMessageBox>

namespace brim::ui {

namespace {
const QString kTitle = QStringLiteral("Brimmark");
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

void QtPrompts::message(const std::string& text) {
    QMessageBox::information(parent_, kTitle, q(text));
}

bool QtPrompts::confirm(const std::string& text) {
    return QMessageBox::question(parent_, kTitle, q(text)) == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::input(const std::string& title, const std::string& prompt,
                                            const std::string& initial) {
    return InputBox(title, prompt, initial, parent_).ask();
}

}  // namespace brim::ui
