#pragma once
// "検索結果のファイルへの出力" (Form4): what the HTML export writes after each
// link, and how the CSV file is encoded. "閉じる" stores the boxes.

#include <QDialog>

#include "app/Settings.h"

namespace brim::ui {

class Form4 final : public QDialog {
    Q_OBJECT
  public:
    Form4(app::HtmlOptionsDialog& options, QWidget* parent);

  private:
    app::HtmlOptionsDialog& options_;
};

}  // namespace brim::ui
