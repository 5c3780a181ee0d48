#include "app/DialogForms.h"
#include "win/Forms.h"

namespace brim::win {

using namespace app::form2;

Form2FixedKeywordsDialog::Form2FixedKeywordsDialog(app::KeywordBox& keywords)
    : ModalDialog(app::fixedKeywordsForm()), keywords_(keywords) {}

void Form2FixedKeywordsDialog::onInit() {
    showFixed();
}

void Form2FixedKeywordsDialog::showFixed() {
    HWND list = item(List1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& k : keywords_.fixedKeywords()) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(k).c_str()));
    }
}

bool Form2FixedKeywordsDialog::onCommand(int id, int code) {
    switch (id) {
        case Command1:
        case Command3: {
            const std::string k = windowText(item(Text1));
            setWindowText(item(Text1), "");
            if (id == Command1) {
                keywords_.registerFixed(k);
            } else {
                keywords_.deleteFixed(k);
            }
            showFixed();
            SetFocus(item(Text1));
            return true;
        }
        case Command2:
            close(IDOK);
            return true;
        case List1: {
            if (code != LBN_SELCHANGE) return false;
            HWND list = item(List1);
            const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
            if (row == LB_ERR) return true;
            std::wstring text(static_cast<std::size_t>(
                                  SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)) +
                                  1,
                              L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(text.data()));
            SetWindowTextW(item(Text1), text.c_str());
            return true;
        }
        case IDOK:
            // Enter in the keyword line registers it, as "登録" does.
            return onCommand(Command1, BN_CLICKED);
        default:
            return false;
    }
}

}  // namespace brim::win
