#include "app/DialogForms.h"

#include "app/Window.h"

namespace brim::app {
namespace {

constexpr Control control(int id, const char* name, Kind kind, const char* caption, Rect place,
                          int tab = kNoTab) {
    return {id, name, kind, caption, place, Follow::Stays, tab};
}

namespace f2 {
using namespace form2;
constexpr Control kControls[] = {
    control(List1, "List1", Kind::ListBox, "", {1200, 240, 3615, 1680}, 0),
    control(Text1, "Text1", Kind::Edit, "", {1200, 2040, 3615, 375}, 1),
    // Beside its box, as high.
    control(Label1, "Label1", Kind::Label, "キーワード", {240, 2040, 975, 375}),
    control(Label2, "Label2", Kind::Label, "登録リスト", {240, 360, 855, 255}),
    control(Command1, "Command1", Kind::Button, "登録", {1365, 2640, 800, 500}, 2),
    control(Command2, "Command2", Kind::Button, "終了", {3960, 2640, 800, 500}, 3),
    control(Command3, "Command3", Kind::Button, "削除", {2640, 2640, 800, 500}, 4),
};
constexpr Form kForm{"Form2", "固定キーワード登録", {0, 0, 5070, 3525}, kControls, Text1};
}  // namespace f2

namespace f3 {
using namespace form3;
// "閉じる" first, then the fields as they are listed, case folding last.
constexpr Control kControls[] = {
    control(Command1, "Command1", Kind::Button, "閉じる", {4440, 2040, 615, 495}, 0),
    control(Label1, "Label1", Kind::Label, "検索対象：", {360, 360, 975, 255}),
    control(Check2, "Check2", Kind::CheckBox, "フォルダ名", {1440, 360, 1695, 255}, 1),
    control(Check3, "Check3", Kind::CheckBox, "お気に入り登録名", {3600, 360, 1815, 255}, 2),
    control(Check4, "Check4", Kind::CheckBox, "インターネットURL", {1440, 720, 1815, 375}, 3),
    control(Check5, "Check5", Kind::CheckBox, "コメント", {3600, 720, 1215, 375}, 4),
    control(Check1, "Check1", Kind::CheckBox, "大文字と小文字を区別しない", {360, 1320, 2655, 375},
            5),
    // The frame around the OR/AND choice.
    control(Picture2, "Picture2", Kind::Frame, "", {360, 1800, 3255, 975}),
    control(Label3, "Label3", Kind::Label, "2つ以上のキーワードによる検索方法",
            {480, 1920, 3015, 255}),
    // Tab reaches the choice; the arrow keys choose.
    control(Option1, "Option1", Kind::Option, "OR検索", {960, 2280, 975, 255}, 6),
    control(Option2, "Option2", Kind::Option, "AND検索", {2040, 2280, 1095, 255}),
};
constexpr Form kForm{"Form3", "キーワード検索のオプション", {0, 0, 5610, 3150}, kControls};
}  // namespace f3

namespace f4 {
using namespace form4;
constexpr Control kControls[] = {
    control(Label3, "Label3", Kind::Label, "HTMLのオプション：", {360, 240, 1575, 375}),
    control(Check1, "Check1", Kind::CheckBox, "インターネットアドレスを表示する",
            {480, 480, 2895, 255}, 0),
    control(Check2, "Check2", Kind::CheckBox, "コメントを出力する", {480, 840, 2175, 255}, 1),
    // Below the two HTML boxes: the CSV file's encoding.
    control(Check3, "Check3", Kind::CheckBox, "CSVファイルを UTF-8 で出力する",
            {480, 1200, 3135, 255}, 2),
    control(Command1, "Command1", Kind::Button, "閉じる", {1440, 1680, 1095, 495}, 3),
};
// Taller than the two HTML boxes need, for the CSV box below them.
constexpr Form kForm{"Form4", "検索結果のファイルへの出力", {0, 0, 3900, 2610}, kControls};
}  // namespace f4

namespace f5 {
using namespace form5;
constexpr Control kControls[] = {
    control(Check1, "Check1", Kind::CheckBox, "「送る」メニューに追加する", {360, 240, 2415, 375},
            0),
    control(Check2, "Check2", Kind::CheckBox, "デスクトップに作成する", {360, 720, 2295, 375}, 1),
    control(Command1, "Command1", Kind::Button, "作成", {480, 1320, 855, 495}, 2),
    control(Command2, "Command2", Kind::Button, "中止", {1800, 1320, 855, 495}, 3),
};
constexpr Form kForm{"Form5", "ショートカットの作成", {0, 0, 3120, 2160}, kControls};
}  // namespace f5

namespace f6 {
using namespace form6;
constexpr Control kControls[] = {
    control(Image1, "Image1", Kind::Image, "", {240, 240, 600, 600}),
    control(Label1, "Label1", Kind::Label, kWindowTitle, {1080, 240, 4080, 375}),
    control(Label3, "Label3", Kind::Label, "mail: support@brimmark.example",
            {1080, 720, 4080, 375}),
    control(Label2, "Label2", Kind::Link, kHomePage, {1080, 1140, 4080, 375}, 0),
    control(Command1, "Command1", Kind::Button, "OK", {4080, 1680, 1095, 495}, 1),
};
constexpr Form kForm{"Form6", "Brimmark - 私のお気に入り", {0, 0, 5400, 2400}, kControls, Command1};
}  // namespace f6

namespace f7 {
using namespace form7;
// The captions are long for the boxes: each wraps onto two lines.
constexpr Control kControls[] = {
    control(Check1, "Check1", Kind::LongCheckBox, "IEがひとつの場合、自動的に取り込む",
            {240, 180, 3255, 495}, 0),
    control(Check2, "Check2", Kind::LongCheckBox,
            "適合するブックマークがひとつしかない場合、自動的に取り込む", {240, 780, 3255, 555}, 1),
    control(Command1, "Command1", Kind::Button, "OK", {2280, 1440, 735, 495}, 2),
};
constexpr Form kForm{"Form7", "Auto Copyの設定", {0, 0, 3705, 2205}, kControls};
}  // namespace f7

namespace f8 {
using namespace form8;
constexpr Control kControls[] = {
    control(Label1, "Label1", Kind::WrappedLabel, "取り込み元：", {240, 240, 1200, 255}),
    control(Combo1, "Combo1", Kind::DropDownList, "", {1440, 200, 3600, 300}, 0),
    control(Label2, "Label2", Kind::WrappedLabel, "ファイル：", {240, 720, 1200, 255}),
    {Text1,
     "Text1",
     Kind::Edit,
     "",
     {1440, 680, 2880, 300},
     Follow::Stays,
     1,
     Command::None,
     Icon::None,
     "空欄ならブラウザの既定のプロファイル"},
    control(Command3, "Command3", Kind::Button, "参照…", {4380, 660, 660, 340}, 2),
    control(Label3, "Label3", Kind::WrappedLabel, "取り込み先 フォルダ：", {240, 1160, 1200, 375}),
    control(Text2, "Text2", Kind::Edit, "", {1440, 1160, 3600, 300}, 3),
    control(ProgressBar1, "ProgressBar1", Kind::ProgressBar, "", {240, 1680, 4800, 300}),
    control(Label4, "Label4", Kind::WrappedLabel, "", {240, 2100, 4800, 900}),
    control(Command1, "Command1", Kind::Button, "インポート", {2400, 3120, 1200, 495}, 4),
    control(Command2, "Command2", Kind::Button, "閉じる", {3720, 3120, 1200, 495}, 5),
};
constexpr Form kForm{"Form8", "ブラウザからインポート", {0, 0, 5400, 3900}, kControls, Combo1};
}  // namespace f8

namespace f9 {
using namespace form9;
constexpr Control kControls[] = {
    control(Label1, "Label1", Kind::WrappedLabel, "", {240, 240, 4920, 375}),
    control(ProgressBar1, "ProgressBar1", Kind::ProgressBar, "", {240, 720, 4920, 300}),
    control(Label2, "Label2", Kind::WrappedLabel, "", {240, 1140, 4920, 615}),
    // One line read across: "前回の確認から [30] 日以上たったものだけ".
    control(Check1, "Check1", Kind::CheckBox, "前回の確認から", {240, 1860, 1575, 300}, 0),
    control(Text1, "Text1", Kind::Edit, "", {1860, 1860, 615, 300}, 1),
    control(Label3, "Label3", Kind::Label, "日以上たったものだけ", {2580, 1890, 2580, 255}),
    control(Command3, "Command3", Kind::Button, "再確認", {1320, 2400, 1200, 495}, 2),
    control(Command1, "Command1", Kind::Button, "中止", {2640, 2400, 1200, 495}, 3),
    control(Command2, "Command2", Kind::Button, "閉じる", {3960, 2400, 1200, 495}, 4),
};
constexpr Form kForm{"Form9", "リンクの確認", {0, 0, 5400, 3120}, kControls, Command1};
}  // namespace f9

namespace input {
using namespace inputBox;
// The buttons beside the prompt, the line to type below both.
constexpr Control kControls[] = {
    control(Label1, "Label1", Kind::WrappedLabel, "", {120, 120, 4575, 1215}),
    control(Command1, "Command1", Kind::Button, "OK", {4800, 120, 1095, 375}, 1),
    control(Command2, "Command2", Kind::Button, "キャンセル", {4800, 600, 1095, 375}, 2),
    control(Text1, "Text1", Kind::Edit, "", {120, 1440, 5775, 315}, 0),
};
constexpr Form kForm{"InputBox", "", {0, 0, 6120, 2400}, kControls, Text1};
}  // namespace input

}  // namespace

const Form& fixedKeywordsForm() {
    return f2::kForm;
}
const Form& searchOptionsForm() {
    return f3::kForm;
}
const Form& exportOptionsForm() {
    return f4::kForm;
}
const Form& shortcutsForm() {
    return f5::kForm;
}
const Form& aboutForm() {
    return f6::kForm;
}
const Form& autoCopyForm() {
    return f7::kForm;
}
const Form& importForm() {
    return f8::kForm;
}
const Form& linkCheckForm() {
    return f9::kForm;
}
const Form& inputBoxForm() {
    return input::kForm;
}

}  // namespace brim::app
