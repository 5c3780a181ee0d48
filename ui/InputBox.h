#pragma once
// An input box drawn from its form's table: the question's caption and
// prompt, one line to type, "OK" and "キャンセル".

#include <optional>
#include <string>

#include "ui/FormWidgets.h"

class QLineEdit;

namespace brim::ui {

class InputBox final : public FormDialog {
    Q_OBJECT
  public:
    InputBox(const std::string& title, const std::string& prompt, const std::string& initial,
             QWidget* parent);

    // Shows the box until it is closed: what was typed, or nullopt when cancelled.
    std::optional<std::string> ask();

    QLineEdit* const Text1;
};

}  // namespace brim::ui
