#include "ui/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace brim::ui {

namespace {
const QString kTitle = QStringLiteral("Brimmark");
}

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kTitle, text);
}

bool QtDialogs::confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, kTitle, text) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::input(QWidget* parent, const QString& title,
                                        const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool ScriptedDialogs::confirm(QWidget*, const QString& text) {
    shown << text;
    if (confirmAnswers.empty()) return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::input(QWidget*, const QString& title, const QString& prompt,
                                              const QString& initial) {
    shown << title + ": " + prompt;
    proposed << initial;
    if (inputAnswers.empty()) return std::nullopt;
    const QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
}

}  // namespace brim::ui
