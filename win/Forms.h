#pragma once
// The dialogs of the main window's menu, and the input box. Each one shows
// and changes state that lives in app/, so closing one loses nothing.

#include <optional>
#include <string>

#include "app/Keywords.h"
#include "app/Settings.h"
#include "app/Window.h"
#include "win/ModalDialog.h"

namespace brim::win {

// "固定キーワード登録"
class Form2FixedKeywordsDialog final : public ModalDialog {
  public:
    explicit Form2FixedKeywordsDialog(app::KeywordBox& keywords);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    void showFixed();
    app::KeywordBox& keywords_;
};

// "キーワード検索のオプション"
class Form3SearchOptionsDialog final : public ModalDialog {
  public:
    explicit Form3SearchOptionsDialog(app::SearchOptionsDialog& options);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::SearchOptionsDialog& options_;
};

// "検索結果のファイルへの出力"
class Form4ExportOptionsDialog final : public ModalDialog {
  public:
    explicit Form4ExportOptionsDialog(app::HtmlOptionsDialog& options);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::HtmlOptionsDialog& options_;
};

// "ショートカットの作成". The two boxes keep their state for the whole run.
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

// "バージョン情報"
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

// "Auto Copyの設定"
class Form7AutoCopyDialog final : public ModalDialog {
  public:
    explicit Form7AutoCopyDialog(app::AutoCopyDialog& autoCopy);

  private:
    void onInit() override;
    bool onCommand(int id, int code) override;
    app::AutoCopyDialog& autoCopy_;
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
