#pragma once
// "キーワード検索のオプション": which fields the search looks in, case
// folding, OR or AND. Its controls hold the options while the program runs;
// "閉じる" stores them.

#include <QDialog>

#include "core/Profile.h"
#include "core/Search.h"

class QCheckBox;
class QRadioButton;
class QPushButton;

namespace brim::ui {

class Form3 final : public QDialog {
    Q_OBJECT
  public:
    // Loads the stored options into the controls.
    Form3(const core::Profile& profile, QWidget* parent);

    // The options as the controls hold them now, saved or not.
    core::StoredSearchOptions stored() const;
    core::SearchOptions options() const { return stored().options(); }

    void Command1_Click();

    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* Command1 = nullptr;

  private:
    const core::Profile& profile_;
};

}  // namespace brim::ui
