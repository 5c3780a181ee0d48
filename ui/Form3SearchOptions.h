#pragma once
// "キーワード検索のオプション" (Form3): which fields the search looks in,
// case folding, OR or AND. A change takes effect at once; "閉じる" stores it.

#include <QDialog>

#include "app/Settings.h"

class QPushButton;

namespace brim::ui {

class Form3 final : public QDialog {
    Q_OBJECT
  public:
    Form3(app::SearchOptionsDialog& options, QWidget* parent);

  private:
    app::SearchOptionsDialog& options_;
    QPushButton* Command1 = nullptr;
};

}  // namespace brim::ui
