#pragma once
// "リンクの確認": whether the listed favorites' addresses still lead
// somewhere. The check runs on the window's scheduler away from its thread;
// the dialog shows how far it has come and may stop it. Its results become
// the list's "Link" column and are kept in the state file; no favorite is
// changed by the check.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Scheduler.h"
#include "core/Catalog.h"
#include "core/LinkCheck.h"

namespace brim::app {

class Window;

// The dialog's controls, as the rules see them.
class LinkCheckView {
  public:
    virtual ~LinkCheckView() = default;
    // Label1: what is checked.
    virtual void setTarget(const std::string& text) = 0;
    virtual void setProgress(std::size_t done, std::size_t total) = 0;
    // Label2: the counts by outcome.
    virtual void setCounts(const std::string& text) = 0;
    // "中止" is usable while the check runs, "再確認" while it does not.
    virtual void setRunning(bool running) = 0;
    // Check1 and Text1: only the favorites not checked for the days typed.
    virtual bool onlyUnchecked() const = 0;
    virtual std::string daysText() const = 0;
    virtual void setChoice(bool onlyUnchecked, const std::string& days) = 0;
};

// The column's word for each outcome.
std::string_view linkStatusWord(core::LinkStatus status);
// "正常 3 件　移動 1 件 …": the outcomes that came, in the column's words.
std::string linkCountsText(const core::LinkProgress& progress);
// The days typed in Text1: above 0, in ASCII or full-width digits; nullopt
// for anything else.
std::optional<double> uncheckedDays(const std::string& text);

// One favorite to check: its path as the boxes name it and its file as on disk.
struct LinkTarget {
    std::string path;
    std::string file;
};

// Results by the favorite's file as on disk.
using LinkResults = std::map<std::string, core::LinkResult, std::less<>>;

// Runs one check at a time and keeps every one that may still run until it
// has ended: they read through the catalog.
class LinkCheckRun {
  public:
    struct Sink {
        // On the window's thread, a few times a second at most.
        std::function<void(const core::LinkProgress&)> progress;
        // On the window's thread once the check has ended, with the results
        // that came, and those the state file kept for the favorites checked
        // too recently to be checked again; `stopped`: it was stopped before
        // all of them came.
        std::function<void(LinkResults results, LinkResults recent, bool stopped)> ended;
    };

    // `stateFile`: where the results are kept; empty keeps them nowhere.
    LinkCheckRun(Scheduler& scheduler, const core::Catalog& catalog, std::string stateFile,
                 core::LinkCheckOptions options = {});
    // Stops every check and waits for each.
    ~LinkCheckRun();
    LinkCheckRun(const LinkCheckRun&) = delete;
    LinkCheckRun& operator=(const LinkCheckRun&) = delete;

    bool running() const { return current_ != nullptr; }
    // Starts a check of `targets`, only of those whose address the state
    // file has not seen checked within `uncheckedForDays` when given; one
    // still running is stopped and its end no longer told.
    void start(std::vector<LinkTarget> targets, Sink sink,
               std::optional<double> uncheckedForDays = std::nullopt);
    // Asks the running check to end soon; its `ended` comes then.
    void stop();

  private:
    struct State;
    Scheduler& scheduler_;
    const core::Catalog& catalog_;
    std::string stateFile_;
    core::LinkCheckOptions options_;
    std::shared_ptr<State> current_;
    std::vector<std::shared_ptr<State>> all_;
    // Lets tasks posted to the window's thread find the run, or find it gone.
    std::shared_ptr<LinkCheckRun*> self_ = std::make_shared<LinkCheckRun*>(this);
};

// The dialog's rules: made when it opens, which starts the check of the
// list's favorites with the choice kept in the settings; gone when it closes,
// which stops a check still running.
class LinkCheckDialog {
  public:
    LinkCheckDialog(Window& window, LinkCheckView& view);
    ~LinkCheckDialog();
    LinkCheckDialog(const LinkCheckDialog&) = delete;
    LinkCheckDialog& operator=(const LinkCheckDialog&) = delete;

    bool running() const;
    // "中止", and Esc while the check runs.
    void Command1_Click();
    // "再確認": the list checked again with the choice shown, which is kept.
    void Command3_Click();

  private:
    // Starts with the view's choice; false when its days are no number.
    bool start();
    Window& window_;
    LinkCheckView& view_;
};

}  // namespace brim::app
