#pragma once
// The About box (Form6): the program's title, mail address and home page.

#include "ui/FormWidgets.h"

#include "app/Window.h"

namespace brim::ui {

class Form6 final : public FormDialog {
    Q_OBJECT
  public:
    Form6(app::Window& window, QWidget* parent);
};

}  // namespace brim::ui
