#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>

#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

Form8ImportDialog::Form8ImportDialog(const core::Catalog& catalog,
                                     const platform::BrowserProfiles& browsers,
                                     app::Prompts& prompts)
    : ModalDialog(app::importForm()), catalog_(catalog), browsers_(browsers), prompts_(prompts) {}

void Form8ImportDialog::onInit() {
    HWND sources = item(Combo1);
    for (const auto& caption : app::ImportDialog::SourceCaptions())
        SendMessageW(sources, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(caption).c_str()));
    SendMessageW(sources, CB_SETCURSEL, 0, 0);
    rules_ = std::make_unique<app::ImportDialog>(catalog_, browsers_, prompts_,
                                                 static_cast<app::ImportView&>(*this));
}

bool Form8ImportDialog::onCommand(int id, int code) {
    switch (id) {
        case Combo1:
            if (code == CBN_SELCHANGE && rules_) rules_->proposeFolder();
            return true;
        case Text1:
            // Typed, or chosen with "参照…": the target folder follows.
            if (code == EN_CHANGE && rules_) rules_->proposeFolder();
            return true;
        case Command1:
        case IDOK:
            rules_->Command1_Click();
            return true;
        case Command2:
            close(IDCANCEL);
            return true;
        case Command3:
            Command3_Click();
            return true;
        default:
            return false;
    }
}

void Form8ImportDialog::Command3_Click() {
    std::wstring path(32768, L'\0');
    const std::wstring title = wide(app::form8::kChooserTitle);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd();
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return;
    path.resize(wcslen(path.c_str()));
    rules_->fileChosen(utf8(path));
}

int Form8ImportDialog::sourceIndex() const {
    return static_cast<int>(SendMessageW(item(Combo1), CB_GETCURSEL, 0, 0));
}

std::string Form8ImportDialog::fileText() const {
    return windowText(item(Text1));
}

void Form8ImportDialog::setFileText(const std::string& text) {
    setWindowText(item(Text1), text);
}

std::string Form8ImportDialog::folderText() const {
    return windowText(item(Text2));
}

void Form8ImportDialog::setFolderText(const std::string& text) {
    setWindowText(item(Text2), text);
}

void Form8ImportDialog::setProgress(std::size_t done, std::size_t total) {
    HWND bar = item(ProgressBar1);
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    // The import runs on this thread: the bar shows each step at once.
    UpdateWindow(bar);
}

void Form8ImportDialog::setSummary(const std::string& text) {
    setWindowText(item(Label4), text);
    UpdateWindow(item(Label4));
}

void Form8ImportDialog::setBusy(bool busy) {
    for (int id : {Command1, Command2, Command3})
        EnableWindow(item(id), !busy);
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace brim::win
