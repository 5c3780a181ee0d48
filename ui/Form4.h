#pragma once
// "検索結果のファイルへの出力": what the HTML page writes after each link,
// and how the CSV file is encoded.

#include <QDialog>

#include "core/Export.h"

class QCheckBox;
class QPushButton;

namespace brim::ui {

class Form4 final : public QDialog {
    Q_OBJECT
  public:
    Form4(const core::Profile& profile, QWidget* parent);

    core::StoredHtmlOptions stored() const;
    void Command1_Click();  // 閉じる: stores the boxes

    QCheckBox* Check1 = nullptr;  // the address
    QCheckBox* Check2 = nullptr;  // the comment
    QCheckBox* Check3 = nullptr;  // the CSV file in UTF-8
    QPushButton* Command1 = nullptr;

  private:
    const core::Profile& profile_;
};

}  // namespace brim::ui
