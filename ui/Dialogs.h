#pragma once
// Message boxes, questions and input boxes as Qt dialogs.

#include "app/Prompts.h"

class QWidget;

namespace brim::ui {

class QtPrompts final : public app::Prompts {
  public:
    // The window the dialogs stand over; none before it exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    bool confirm(const std::string& text) override;
    std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

  private:
    QWidget* parent_ = nullptr;
};

}  // namespace brim::ui
