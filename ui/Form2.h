#pragma once
// "固定キーワード登録": the fixed keywords, which stand at the top of the
// keyword box's list. Its list box holds them while the program runs.

#include <QDialog>

#include "core/KeywordLists.h"
#include "core/Profile.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brim::ui {

class Form2 final : public QDialog {
    Q_OBJECT
  public:
    // `keywordBox` is the main window's keyword box, whose list this dialog keeps
    // in order when the fixed keywords change.
    Form2(const core::Profile& profile, QComboBox* keywordBox, QWidget* parent);

    core::KeywordList fixedKeywords() const;
    void setFixedKeywords(const core::KeywordList& list);

    void Command1_Click();  // 登録
    void Command2_Click();  // 終了
    void Command3_Click();  // 削除
    void List1_Click();
    void SaveFixedKeywords();

    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

  private:
    const core::Profile& profile_;
    QComboBox* keywordBox_;
};

// The items of a combo box's list, and the list replaced.
core::KeywordList comboItems(const QComboBox* box);
void setComboItems(QComboBox* box, const core::KeywordList& items);

}  // namespace brim::ui
