#pragma once
// Form2: the fixed keywords, which stand at the top of
// the keyword box's list.

#include "app/Keywords.h"
#include "ui/FormWidgets.h"

namespace brim::ui {

class Form2 final : public FormDialog {
    Q_OBJECT
  public:
    Form2(app::KeywordBox& keywords, QWidget* parent);

  private:
    void Command1_Click();  // 登録
    void Command3_Click();  // 削除
    void List1_Click();
    void showFixed();
    app::KeywordBox& keywords_;
};

}  // namespace brim::ui
