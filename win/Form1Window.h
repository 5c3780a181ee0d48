#pragma once
// The main window of the Windows front end: keyword box, result list, button
// row, edit boxes and menu, made from the form's table (app/MainForm.h). The
// rules live in app::Window; this form shows what they say and passes clicks on.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/View.h"
#include "app/Window.h"
#include "win/Controls.h"
#include "win/Forms.h"
#include "win/Win32Prompts.h"
#include "win/WindowScheduler.h"

namespace brim::win {

class Form1Window final : private app::View, private app::CommandHost {
  public:
    explicit Form1Window(app::Services services);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    // Creates the window (hidden); false when the system refused it.
    bool create();
    // Start-up; `argument` is the command line taken whole.
    void startUp(const std::string& argument);
    HWND hwnd() const { return hwnd_; }
    app::Window& rules() { return window_; }
    // Gives the message to the window's keyboard handling; true when taken.
    bool preTranslate(MSG& msg);

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT onNotify(const NMHDR& header);
    void buildControls();
    void buildMenu();
    void setIcons();

    // app::View
    void setColumns(const std::vector<std::string>& headers,
                    const std::vector<int>& fifths) override;
    void setRows(const std::vector<app::Row>& rows) override;
    void addRows(const std::vector<app::Row>& rows) override;
    void setBusy(bool busy) override;
    void setRow(int row, const app::Row& cells) override;
    void setSortIndicator(int column, bool descending) override;
    void selectRow(int row) override;
    void setCount(const std::string& caption) override;
    std::string text(app::Id box) const override;
    void setText(app::Id box, const std::string& text) override;
    void setKeywordItems(const std::vector<std::string>& items) override;
    void offerKeywords(const std::vector<std::string>& offers) override;
    void setSizeTwips(app::Twips size, app::Sizing sizing) override;
    app::Twips positionTwips() const override;
    void moveTwips(app::Twips position) override;
    void setComboWidthTwips(int width) override;
    void setGoVisible(bool visible) override;
    void setMenuEnabled(app::Id item, bool enabled) override;
    void setMenuChecked(app::Id item, bool checked) override;
    void setTopmost(bool topmost) override;
    void focus(app::Id control) override;
    void showWindow() override;

    // app::CommandHost
    void showDialog(app::Dialog dialog) override;
    void quit() override;

    // Places the controls that follow the window's size, and the columns.
    void followSize();
    // The list's columns share its width as their fifths say.
    int columnWidth(std::size_t column) const;
    void fitColumns();
    HWND control(app::Id id) const { return layout_->control(+id); }
    HWND combo() const { return control(app::Id::Combo1); }
    HWND list() const { return control(app::Id::ListView1); }
    // Puts `items` into Combo1's drop-down list; what the user typed stays.
    void fillKeywordList(const std::vector<std::string>& items);

    Win32Prompts prompts_;
    WindowScheduler scheduler_;  // outlives the rules, which wait for their walks
    app::Window window_;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<FormLayout> layout_;
    std::vector<HIMAGELIST> icons_;
    std::vector<app::Row> rows_;             // what ListView1 shows
    app::Twips minimumTwips_;                // the least outer size, 0 × 0 for none
    std::vector<std::string> headers_;       // its columns
    std::vector<int> fifths_;                // their widths, in fifths of the list's
    std::vector<std::string> keywordItems_;  // Combo1's list when it offers nothing
    bool offering_ = false;                  // Combo1's list holds offers
    bool selecting_ = false;                 // a row selected by the rules, not the user
    bool closing_ = false;
    bool busy_ = false;       // a fill runs: the pointer says so
    HWND focused_ = nullptr;  // the control to focus again when the window is activated
    Form5ShortcutsDialog::Choice shortcutChoice_;
};

}  // namespace brim::win
