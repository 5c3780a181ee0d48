#pragma once
// "固定キーワード登録" (Form2): the fixed keywords, which stand at the top of
// the keyword box's list.

#include <QDialog>

#include "app/Keywords.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace brim::ui {

class Form2 final : public QDialog {
    Q_OBJECT
  public:
    Form2(app::KeywordBox& keywords, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Command1_Click();  // 登録
    void Command3_Click();  // 削除
    void List1_Click();
    void showFixed();

    app::KeywordBox& keywords_;
    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
};

}  // namespace brim::ui
