#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <algorithm>

#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

Form9LinkCheckDialog::Form9LinkCheckDialog(app::Window& window)
    : ModalDialog(app::linkCheckForm()), window_(window) {}

Form9LinkCheckDialog::~Form9LinkCheckDialog() = default;

void Form9LinkCheckDialog::onInit() {
    rules_ =
        std::make_unique<app::LinkCheckDialog>(window_, static_cast<app::LinkCheckView&>(*this));
}

bool Form9LinkCheckDialog::onCommand(int id, int) {
    switch (id) {
        case Command1:
        case IDOK:
            if (rules_) rules_->Command1_Click();
            return true;
        case Check1:
            toggle(item(Check1));
            return true;
        case Command3:
            if (rules_) rules_->Command3_Click();
            return true;
        case IDCANCEL:
            // Esc stops a running check first; the close box and Esc close it then.
            if (rules_ && rules_->running()) {
                rules_->Command1_Click();
                return true;
            }
            rules_.reset();
            return false;
        case Command2:
            // The rules stop a check still running as they go.
            rules_.reset();
            close(IDCANCEL);
            return true;
        default:
            return false;
    }
}

void Form9LinkCheckDialog::setTarget(const std::string& text) {
    setWindowText(item(Label1), text);
}

void Form9LinkCheckDialog::setProgress(std::size_t done, std::size_t total) {
    HWND bar = item(ProgressBar1);
    // An empty check shows a bar at its end.
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::max<std::size_t>(total, 1)));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(total ? done : 1), 0);
}

void Form9LinkCheckDialog::setCounts(const std::string& text) {
    setWindowText(item(Label2), text);
}

void Form9LinkCheckDialog::setRunning(bool running) {
    EnableWindow(item(Command1), running);
    EnableWindow(item(Command3), !running);
    if (!running)
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(Command2)), TRUE);
}

bool Form9LinkCheckDialog::onlyUnchecked() const {
    return checkValue(item(Check1)) == BST_CHECKED;
}

std::string Form9LinkCheckDialog::daysText() const {
    return windowText(item(Text1));
}

void Form9LinkCheckDialog::setChoice(bool onlyUnchecked, const std::string& days) {
    setCheckValue(item(Check1), onlyUnchecked ? BST_CHECKED : BST_UNCHECKED);
    setWindowText(item(Text1), days);
}

}  // namespace brim::win
