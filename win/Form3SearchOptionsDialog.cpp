#include "win/Forms.h"

namespace brim::win {
namespace {
// Check1 … Check5 are 101 … 105.
enum { Check1 = 101, Check5 = 105, Option1 = 111, Option2, Command1 };
}  // namespace

Form3SearchOptionsDialog::Form3SearchOptionsDialog(app::SearchOptionsDialog& options)
    : ModalDialog("キーワード検索のオプション", 5610, 3150), options_(options) {}

void Form3SearchOptionsDialog::onInit() {
    button("閉じる", Command1, {4440, 2040, 615, 495});
    label("検索対象：", {360, 360, 975, 255});
    const struct {
        const char* caption;
        TwipsRect place;
    } boxes[] = {
        {"大文字と小文字を区別しない", {360, 1320, 2655, 375}},
        {"フォルダ名", {1440, 360, 1695, 255}},
        {"お気に入り登録名", {3600, 360, 1815, 255}},
        {"インターネットURL", {1440, 720, 1815, 375}},
        {"コメント", {3600, 720, 1215, 375}},
    };
    // The tab order runs over the fields first, then the case option.
    for (int i : {1, 2, 3, 4, 0}) {
        checkBox(boxes[i].caption, Check1 + i, boxes[i].place, options_.check(i + 1));
    }
    // Picture2: the frame around the AND/OR choice.
    add(L"STATIC", "", SS_ETCHEDFRAME, -1, {360, 1800, 3255, 975});
    label("2つ以上のキーワードによる検索方法", {480, 1920, 3015, 255});
    add(L"BUTTON", "OR検索", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, Option1,
        {960, 2280, 975, 255});
    add(L"BUTTON", "AND検索", BS_AUTORADIOBUTTON, Option2, {2040, 2280, 1095, 255});
    CheckRadioButton(hwnd(), Option1, Option2, options_.option1() ? Option1 : Option2);
}

bool Form3SearchOptionsDialog::onCommand(int id, int) {
    if (id >= Check1 && id <= Check5) {
        options_.setCheck(id - Check1 + 1, toggle(item(id)));
        return true;
    }
    switch (id) {
        case Option1:
        case Option2:
            options_.setOption1(id == Option1);
            return true;
        case Command1:
        case IDOK:
            options_.Command1_Click();
            close(IDOK);
            return true;
        default:
            return false;
    }
}

}  // namespace brim::win
