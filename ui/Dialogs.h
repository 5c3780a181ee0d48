#pragma once
// Message boxes, questions and input boxes go through this interface, so that
// tests can answer them without a person.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

class QWidget;

namespace brim::ui {

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A message with an OK button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A yes/no question; true for yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> input(QWidget* parent, const QString& title,
                                         const QString& prompt, const QString& initial) = 0;
};

// The real dialogs.
class QtDialogs final : public Dialogs {
  public:
    void message(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> input(QWidget* parent, const QString& title, const QString& prompt,
                                 const QString& initial) override;
};

// Answers from a script, and a record of what was asked.
class ScriptedDialogs final : public Dialogs {
  public:
    std::deque<bool> confirmAnswers;   // true when empty
    std::deque<QString> inputAnswers;  // a null QString, or none left, cancels
    QStringList shown;                 // every text shown, in order

    void message(QWidget*, const QString& text) override { shown << text; }
    bool confirm(QWidget*, const QString& text) override;
    QStringList proposed;  // the text each input box proposed
    std::optional<QString> input(QWidget*, const QString& title, const QString& prompt,
                                 const QString& initial) override;
};

}  // namespace brim::ui
