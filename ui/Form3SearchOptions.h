#pragma once
// Form3: which fields the search looks in,
// case folding, OR or AND. A change takes effect at once; "閉じる" stores it.

#include "app/Settings.h"
#include "ui/FormWidgets.h"

namespace brim::ui {

class Form3 final : public FormDialog {
    Q_OBJECT
  public:
    Form3(app::SearchOptionsDialog& options, QWidget* parent);

  private:
    app::SearchOptionsDialog& options_;
};

}  // namespace brim::ui
