#pragma once
// Form7: whether a single captured page, and a single
// search match, go into the edit boxes by themselves. "OK" stores the boxes.

#include "ui/FormWidgets.h"

#include "app/Settings.h"

namespace brim::ui {

class Form7 final : public FormDialog {
    Q_OBJECT
  public:
    Form7(app::AutoCopyDialog& autoCopy, QWidget* parent);

  private:
    app::AutoCopyDialog& autoCopy_;
};

}  // namespace brim::ui
