#pragma once
// Form5: launchers of the program in the send-to
// folder and on the Desktop.

#include "ui/FormWidgets.h"

#include "app/Window.h"

namespace brim::ui {

class Form5 final : public FormDialog {
    Q_OBJECT
  public:
    Form5(app::Window& window, QWidget* parent);
};

}  // namespace brim::ui
