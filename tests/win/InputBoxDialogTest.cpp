// The Windows input box, opened as the exports open it and answered with
// its buttons and with the keys the dialog manager gives meaning to.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "WinDialogScript.h"
#include "app/DialogForms.h"
#include "win/Controls.h"
#include "win/Forms.h"

namespace brim::test {
namespace {

using namespace app::inputBox;

void click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A key as the user presses it in the focused box: the dialog's own loop
// takes it, as it takes a real key.
void key(HWND dialog, WPARAM vk) {
    PostMessageW(GetDlgItem(dialog, Text1), WM_KEYDOWN, vk, 0);
}

TEST(InputBoxDialogTest, GivesWhatWasTypedOrNothingWhenCancelled) {
    const struct {
        const char* what;
        void (*answer)(HWND);
        std::optional<std::string> expected;
    } cases[] = {
        {"OK", [](HWND d) { click(d, Command1); }, "新しい名前"},
        {"Enter", [](HWND d) { key(d, VK_RETURN); }, "新しい名前"},
        {"キャンセル", [](HWND d) { click(d, Command2); }, std::nullopt},
        {"Esc", [](HWND d) { key(d, VK_ESCAPE); }, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        win::InputBoxDialog box("Input HTML-file name",
                                "保存するHTMLファイルの名前を入力してください", "お気に入り一覧");
        std::string prompt, initial;
        DWORD from = 1, to = 0;
        bool focused = false;
        const bool ran = DialogScript::run(
            L"Input HTML-file name", [&] { return box.run(nullptr); },
            [&](HWND d) {
                prompt = win::windowText(GetDlgItem(d, Label1));
                initial = win::windowText(GetDlgItem(d, Text1));
                SendMessageW(GetDlgItem(d, Text1), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                             reinterpret_cast<LPARAM>(&to));
                focused = GetFocus() == GetDlgItem(d, Text1);
                win::setWindowText(GetDlgItem(d, Text1), "新しい名前");
                c.answer(d);
            });
        if (!ran) GTEST_SKIP() << "no window can be made here (no display)";
        EXPECT_EQ(prompt, "保存するHTMLファイルの名前を入力してください");
        // The proposed name is there, chosen whole, for typing over.
        EXPECT_EQ(initial, "お気に入り一覧");
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, 7u);
        EXPECT_TRUE(focused);
        EXPECT_EQ(box.answer(), c.expected);
    }
}

}  // namespace
}  // namespace brim::test
