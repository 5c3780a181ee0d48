#pragma once
// "Auto Copyの設定": whether a single captured page, and a single search
// match, go into the edit boxes by themselves.

#include <QDialog>

#include "core/Profile.h"

class QCheckBox;
class QPushButton;

namespace brim::ui {

class Form7 final : public QDialog {
    Q_OBJECT
  public:
    Form7(const core::Profile& profile, QWidget* parent);

    void Command1_Click();  // OK: stores both boxes

    QCheckBox* Check1 = nullptr;  // a single open page
    QCheckBox* Check2 = nullptr;  // a single search match
    QPushButton* Command1 = nullptr;

  private:
    const core::Profile& profile_;
};

}  // namespace brim::ui
