#pragma once
// Form4: what the HTML export writes after each
// link, and how the CSV file is encoded. "閉じる" stores the boxes.

#include "ui/FormWidgets.h"

#include "app/Settings.h"

namespace brim::ui {

class Form4 final : public FormDialog {
    Q_OBJECT
  public:
    Form4(app::HtmlOptionsDialog& options, QWidget* parent);

  private:
    app::HtmlOptionsDialog& options_;
};

}  // namespace brim::ui
