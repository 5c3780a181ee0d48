#pragma once
// The dialogs of the main window's menu, and the input box. Each one shows
// and changes state that lives in app/, so closing one loses nothing.

#include <memory>
#include <optional>
#include <string>

#include "app/DialogForms.h"
#include "app/ImportDialog.h"
#include "app/Keywords.h"
#include "app/LinkCheckDialog.h"
#include "app/Settings.h"
#include "app/Window.h"
#include "win/ModalDialog.h"

namespace brim::win {

// Form2: the fixed keywords.
class Form2FixedKeywordsDialog final : public ModalDialog {
  public:
    explicit Form2FixedKeywordsDialog(app::KeywordBox& keywords);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    void showFixed();
    app::KeywordBox& keywords_;
};

// Form3: the search options.
class Form3SearchOptionsDialog final : public ModalDialog {
  public:
    explicit Form3SearchOptionsDialog(app::SearchOptionsDialog& options);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::SearchOptionsDialog& options_;
};

// Form4: the export options.
class Form4ExportOptionsDialog final : public ModalDialog {
  public:
    explicit Form4ExportOptionsDialog(app::HtmlOptionsDialog& options);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::HtmlOptionsDialog& options_;
};

// Form5: the program's shortcuts. The two boxes keep their state for the whole run.
class Form5ShortcutsDialog final : public ModalDialog {
  public:
    struct Choice {
        int sendTo = BST_CHECKED;
        int desktop = BST_CHECKED;
    };
    Form5ShortcutsDialog(app::Window& window, Choice& choice);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::Window& window_;
    Choice& choice_;
};

// Form6: the About box.
class Form6AboutDialog final : public ModalDialog {
  public:
    explicit Form6AboutDialog(app::Window& window);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    LRESULT onNotify(const NMHDR& header) override;
    app::Window& window_;
    HICON icon_ = nullptr;
};

// Form7: Auto Copy.
class Form7AutoCopyDialog final : public ModalDialog {
  public:
    explicit Form7AutoCopyDialog(app::AutoCopyDialog& autoCopy);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::AutoCopyDialog& autoCopy_;
};

// "ブラウザからインポート": the source, a file or profile to read instead of
// the browser's default one, the folder to import into, and the progress.
class Form8ImportDialog final : public ModalDialog, private app::ImportView {
  public:
    // The form's control ids, as the tests reach them.
    enum Control {
        Combo1 = app::form8::Combo1,
        Text1 = app::form8::Text1,
        Text2 = app::form8::Text2,
        ProgressBar1 = app::form8::ProgressBar1,
        Label4 = app::form8::Label4,
        Command1 = app::form8::Command1,
        Command2 = app::form8::Command2,
        Command3 = app::form8::Command3,
    };
    Form8ImportDialog(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
                      app::Prompts& prompts);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    // "参照…": the system's file chooser.
    void Command3_Click();

    // app::ImportView
    int sourceIndex() const override;
    std::string fileText() const override;
    void setFileText(const std::string& text) override;
    std::string folderText() const override;
    void setFolderText(const std::string& text) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setSummary(const std::string& text) override;
    void setBusy(bool busy) override;

    const core::Catalog& catalog_;
    const platform::BrowserProfiles& browsers_;
    app::Prompts& prompts_;
    std::unique_ptr<app::ImportDialog> rules_;  // made once the controls are there
};

// "リンクの確認": the check of the list's favorites, started as it opens;
// Esc stops a running check, and closing stops it too.
class Form9LinkCheckDialog final : public ModalDialog, private app::LinkCheckView {
  public:
    // The form's control ids, as the tests reach them.
    enum Control {
        Label1 = app::form9::Label1,
        ProgressBar1 = app::form9::ProgressBar1,
        Label2 = app::form9::Label2,
        Command1 = app::form9::Command1,
        Command2 = app::form9::Command2,
        Check1 = app::form9::Check1,
        Text1 = app::form9::Text1,
        Command3 = app::form9::Command3,
    };
    explicit Form9LinkCheckDialog(app::Window& window);
    ~Form9LinkCheckDialog() override;

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    // app::LinkCheckView
    void setTarget(const std::string& text) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setCounts(const std::string& text) override;
    void setRunning(bool running) override;
    bool onlyUnchecked() const override;
    std::string daysText() const override;
    void setChoice(bool onlyUnchecked, const std::string& days) override;

    app::Window& window_;
    std::unique_ptr<app::LinkCheckDialog> rules_;  // made once the controls are there
};

// An input box: a prompt, one line to type and "OK" / "キャンセル".
class InputBoxDialog final : public ModalDialog {
  public:
    InputBoxDialog(const std::string& title, std::string prompt, std::string initial);
    // What was typed, or nullopt when cancelled.
    std::optional<std::string> answer() const { return answer_; }

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    std::string prompt_, initial_;
    std::optional<std::string> answer_;
};

}  // namespace brim::win
