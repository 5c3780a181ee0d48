#pragma once
// "ブラウザからインポート": binds the import dialog's controls to its rules
// in app/ImportDialog.

#include <memory>

#include "app/ImportDialog.h"
#include "ui/FormWidgets.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace brim::ui {

class Form8 final : public FormDialog, private app::ImportView {
    Q_OBJECT
  public:
    Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
          app::Prompts& prompts, QWidget* parent);

    void Command1_Click();  // インポート
    void Command3_Click();  // 参照…

    // The table's controls, as the rules and the tests reach them.
    QComboBox* const Combo1;
    QLineEdit* const Text1;
    QLineEdit* const Text2;
    QProgressBar* const ProgressBar1;
    QLabel* const Label4;
    QPushButton* const Command1;
    QPushButton* const Command2;
    QPushButton* const Command3;

  private:
    int sourceIndex() const override;
    std::string fileText() const override;
    void setFileText(const std::string& text) override;
    std::string folderText() const override;
    void setFolderText(const std::string& text) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setSummary(const std::string& text) override;
    void setBusy(bool busy) override;

    std::unique_ptr<app::ImportDialog> rules_;
};

}  // namespace brim::ui
