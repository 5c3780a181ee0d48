#pragma once
// "ショートカットの作成": launchers of the program in the send-to folder and
// on the Desktop.

#include <QDialog>

#include "platform/ProgramShortcuts.h"
#include "ui/Dialogs.h"

class QCheckBox;
class QPushButton;

namespace brim::ui {

class Form5 final : public QDialog {
    Q_OBJECT
  public:
    Form5(platform::ProgramShortcuts& shortcuts, Dialogs& dialogs, std::string sendToDir,
          std::string desktopDir, QWidget* parent);

    void Command1_Click();  // 作成
    void Command2_Click();  // 中止

    QCheckBox* Check1 = nullptr;  // the send-to folder
    QCheckBox* Check2 = nullptr;  // the Desktop
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

  private:
    platform::ProgramShortcuts& shortcuts_;
    Dialogs& dialogs_;
    std::string sendToDir_;
    std::string desktopDir_;
};

}  // namespace brim::ui
