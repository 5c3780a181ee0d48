#include "win/Forms.h"

namespace brim::win {
namespace {
enum { List1 = 101, Text1, Command1, Command2, Command3 };
}

Form2FixedKeywordsDialog::Form2FixedKeywordsDialog(app::KeywordBox& keywords)
    : ModalDialog("固定キーワード登録", 5070, 3525), keywords_(keywords) {}

void Form2FixedKeywordsDialog::onInit() {
    add(L"LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, List1, {1200, 240, 3615, 1680},
        WS_EX_CLIENTEDGE);
    add(L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, Text1, {1200, 2040, 3615, 375}, WS_EX_CLIENTEDGE);
    label("キーワード", {240, 2100, 975, 375});
    label("登録リスト", {240, 360, 855, 255});
    button("登録", Command1, {1365, 2640, 800, 500});
    button("終了", Command2, {3960, 2640, 800, 500});
    button("削除", Command3, {2640, 2640, 800, 500});
    showFixed();
    SetFocus(item(Text1));
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
