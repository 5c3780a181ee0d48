#pragma once
// The settings the window writes, and the values its dialogs hold while the
// program runs: the search options ("キーワード検索のオプション", Form3), the
// HTML options (Form4) and Auto Copy (Form7).

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/Prompts.h"
#include "core/Export.h"
#include "core/Profile.h"
#include "core/Search.h"

namespace brim::app {

// Writes settings and says when one could not be written. A failure is told
// once: while writes keep failing (a full disk, a read-only file) the user is
// not asked to dismiss the same message again and again; a write that
// succeeds ends the quiet.
class SettingsWriter {
  public:
    SettingsWriter(const core::Profile& profile, std::string settingsFile, Prompts& prompts)
        : profile_(profile), file_(std::move(settingsFile)), prompts_(prompts) {}

    const core::Profile& profile() const { return profile_; }
    std::string read(std::string_view section, std::string_view key) const {
        return profile_.ReadSetting(section, key);
    }
    void write(std::string_view section, std::string_view key, std::string_view value) {
        check(profile_.WriteSetting(section, key, value));
    }
    // Tells the user about a failed write, once as said above.
    void check(const core::WriteStatus& status);

  private:
    const core::Profile& profile_;
    std::string file_;
    Prompts& prompts_;
    bool failing_ = false;
};

// Check box values: 0 off, 1 on, 2 grayed.
class SearchOptionsDialog {
  public:
    explicit SearchOptionsDialog(SettingsWriter& settings);
    // Check1 … Check5 by their 1-based number.
    int check(int number) const { return values_.checks[index(number)]; }
    void setCheck(int number, int value) { values_.checks[index(number)] = value; }
    // True for "OR検索", false for "AND検索".
    bool option1() const { return values_.option1; }
    void setOption1(bool on) { values_.option1 = on; }
    // The options in force: what the controls hold now, stored or not.
    core::SearchOptions options() const { return values_.options(); }
    // "閉じる": stores the values.
    void Command1_Click();

  private:
    static std::size_t index(int number);
    SettingsWriter& settings_;
    core::StoredSearchOptions values_;
};

// Check1: the address and Check2: the comment, both for the HTML page;
// Check3: the CSV file in UTF-8.
class HtmlOptionsDialog {
  public:
    explicit HtmlOptionsDialog(SettingsWriter& settings);
    int check(int number) const {
        return number == 1 ? values_.check1 : number == 2 ? values_.check2 : values_.check3;
    }
    void setCheck(int number, int value) {
        (number == 1 ? values_.check1 : number == 2 ? values_.check2 : values_.check3) = value;
    }
    core::HtmlOptions options() const { return values_.options(); }
    core::CsvEncoding csvEncoding() const { return values_.csvEncoding(); }
    void Command1_Click();

  private:
    SettingsWriter& settings_;
    core::StoredHtmlOptions values_;
};

class AutoCopyDialog {
  public:
    explicit AutoCopyDialog(SettingsWriter& settings);
    // Check1: a single open page; Check2: a single search match.
    int check(int number) const { return number == 1 ? check1_ : check2_; }
    void setCheck(int number, int value) { (number == 1 ? check1_ : check2_) = value; }
    bool takesPage() const { return check1_ == 1; }
    bool takesMatch() const { return check2_ == 1; }
    // "OK": stores both boxes.
    void Command1_Click();

  private:
    SettingsWriter& settings_;
    int check1_ = 1;
    int check2_ = 1;
};

}  // namespace brim::app
