#include "win/Forms.h"

namespace brim::win {
namespace {
enum { Check1 = 101, Check3 = 103, Command1 = 111 };
}

Form4ExportOptionsDialog::Form4ExportOptionsDialog(app::HtmlOptionsDialog& options)
    : ModalDialog("検索結果のファイルへの出力", 3900, 2610), options_(options) {}

void Form4ExportOptionsDialog::onInit() {
    label("HTMLのオプション：", {360, 240, 1575, 375});
    checkBox("インターネットアドレスを表示する", Check1, {480, 480, 2895, 255}, options_.check(1));
    checkBox("コメントを出力する", Check1 + 1, {480, 840, 2175, 255}, options_.check(2));
    // Below the two HTML boxes: the CSV file's encoding.
    checkBox("CSVファイルを UTF-8 で出力する", Check3, {480, 1200, 3135, 255}, options_.check(3));
    button("閉じる", Command1, {1440, 1680, 1095, 495});
}

bool Form4ExportOptionsDialog::onCommand(int id, int) {
    if (id >= Check1 && id <= Check3) {
        options_.setCheck(id - Check1 + 1, toggle(item(id)));
        return true;
    }
    if (id != Command1 && id != IDOK) return false;
    options_.Command1_Click();
    close(IDOK);
    return true;
}

}  // namespace brim::win
