#pragma once
// The dialogs of the main window's menu as laid out: caption, client size,
// controls. Their ids are the front ends' control ids.

#include "app/FormTable.h"

namespace brim::app {

// "固定キーワード登録"
namespace form2 {
enum : int { List1 = 101, Text1, Command1, Command2, Command3, Label1, Label2 };
}
const Form& fixedKeywordsForm();

// "キーワード検索のオプション": Check1 … Check5 are 101 … 105.
namespace form3 {
enum : int {
    Check1 = 101,
    Check2,
    Check3,
    Check4,
    Check5,
    Option1 = 111,
    Option2,
    Command1,
    Label1,
    Label3,
    Picture2
};
}
const Form& searchOptionsForm();

// "検索結果のファイルへの出力"
namespace form4 {
enum : int { Check1 = 101, Check2, Check3, Command1 = 111, Label3 };
}
const Form& exportOptionsForm();

// "ショートカットの作成"
namespace form5 {
enum : int { Check1 = 101, Check2, Command1, Command2 };
}
const Form& shortcutsForm();

// "バージョン情報"
namespace form6 {
enum : int { Label2 = 101, Command1, Image1, Label1, Label3 };
}
const Form& aboutForm();

// "Auto Copyの設定"
namespace form7 {
enum : int { Check1 = 101, Check2, Command1 };
}
const Form& autoCopyForm();

// "ブラウザからインポート"
namespace form8 {
enum : int {
    Combo1 = 101,  // the source
    Text1,         // a file or profile to read instead of the default profile
    Text2,         // the folder to import into
    ProgressBar1,
    Label4,  // the summary
    Command1,
    Command2,
    Command3,
    Label1,
    Label2,
    Label3
};
// The title of the file chooser "参照…" opens.
inline constexpr const char* kChooserTitle = "ブックマークファイル";
}  // namespace form8
const Form& importForm();

// "リンクの確認"
namespace form9 {
enum : int {
    Label1 = 101,  // what is checked
    ProgressBar1,
    Label2,    // the counts by outcome
    Command1,  // 中止
    Command2,  // 閉じる
    Check1,    // only the favorites not checked for the days in Text1
    Text1,
    Label3,
    Command3,  // 再確認
};
}
const Form& linkCheckForm();

// An input box: a prompt, one line to type, "OK" and "キャンセル". Its
// caption and prompt are each question's own.
namespace inputBox {
enum : int { Label1 = 101, Text1, Command1, Command2 };
}
const Form& inputBoxForm();

}  // namespace brim::app
