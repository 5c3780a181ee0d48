#pragma once
// "ブラウザからインポート": binds the import dialog's controls to its rules
// in app/ImportDialog.

#include <QDialog>

#include <memory>

#include "app/ImportDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace brim::ui {

class Form8 final : public QDialog, private app::ImportView {
    Q_OBJECT
  public:
    Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
          app::Prompts& prompts, QWidget* parent);

    void Command1_Click();  // インポート
    void Command3_Click();  // 参照…

    QComboBox* Combo1 = nullptr;  // the source
    QLineEdit* Text1 = nullptr;   // a file or profile to read instead of the default profile
    QLineEdit* Text2 = nullptr;   // the folder to import into
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label4 = nullptr;  // the summary
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

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
