#pragma once
// "リンクの確認": binds the link check dialog's controls to its rules in
// app/LinkCheckDialog. Made for each check; closing it stops a check still
// running.

#include <memory>

#include "app/LinkCheckDialog.h"
#include "ui/FormWidgets.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace brim::ui {

class Form9 final : public FormDialog, private app::LinkCheckView {
    Q_OBJECT
  public:
    // Starts the check of the list's favorites at once.
    Form9(app::Window& window, QWidget* parent);
    ~Form9() override;

    // Esc: stops a running check, closes the dialog otherwise.
    void reject() override;

    // The table's controls, as the tests reach them.
    QLabel* const Label1;
    QProgressBar* const ProgressBar1;
    QLabel* const Label2;
    QPushButton* const Command1;
    QPushButton* const Command2;
    QCheckBox* const Check1;
    QLineEdit* const Text1;
    QPushButton* const Command3;

  private:
    void setTarget(const std::string& text) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setCounts(const std::string& text) override;
    void setRunning(bool running) override;
    bool onlyUnchecked() const override;
    std::string daysText() const override;
    void setChoice(bool onlyUnchecked, const std::string& days) override;

    std::unique_ptr<app::LinkCheckDialog> rules_;
};

}  // namespace brim::ui
