#include "app/Settings.h"

#include <algorithm>

#include "app/Messages.h"
#include "core/Settings.h"

namespace brim::app {

void SettingsWriter::check(const core::WriteStatus& status) {
    if (status) {
        failing_ = false;
        return;
    }
    if (failing_) return;
    failing_ = true;
    prompts_.message("設定を保存できませんでした。\n" + file_ + "\n" + reasonText(status));
}

SearchOptionsDialog::SearchOptionsDialog(SettingsWriter& settings)
    : settings_(settings), values_(core::LoadSearchOptions(settings.profile())) {}

std::size_t SearchOptionsDialog::index(int number) {
    return static_cast<std::size_t>(std::clamp(number, 1, 5) - 1);
}

void SearchOptionsDialog::Command1_Click() {
    settings_.check(core::SaveSearchOptions(settings_.profile(), values_));
}

HtmlOptionsDialog::HtmlOptionsDialog(SettingsWriter& settings)
    : settings_(settings), values_(core::LoadStoredHtmlOptions(settings.profile())) {}

void HtmlOptionsDialog::Command1_Click() {
    settings_.check(core::SaveHtmlOptions(settings_.profile(), values_));
}

AutoCopyDialog::AutoCopyDialog(SettingsWriter& settings) : settings_(settings) {
    namespace st = core::settings;
    if (const auto v = st::CheckBoxFromSetting(settings.read("AutoCopy", "IE"))) check1_ = *v;
    if (const auto v = st::CheckBoxFromSetting(settings.read("AutoCopy", "File"))) check2_ = *v;
}

void AutoCopyDialog::Command1_Click() {
    namespace st = core::settings;
    // Both are written even when the first fails; the user hears of it once.
    const core::WriteStatus first =
        settings_.profile().WriteSetting("AutoCopy", "IE", st::CheckBoxSetting(check1_));
    const core::WriteStatus second =
        settings_.profile().WriteSetting("AutoCopy", "File", st::CheckBoxSetting(check2_));
    settings_.check(first ? second : first);
}

}  // namespace brim::app
