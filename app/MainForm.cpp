#include "app/MainForm.h"

#include "app/Window.h"

namespace brim::app {
namespace {

constexpr Control control(Id id, const char* name, Kind kind, const char* caption, Rect place,
                          Follow follow = Follow::Stays, int tab = kNoTab,
                          Command command = Command::None, Icon icon = Icon::None) {
    return {+id, name, kind, caption, place, follow, tab, command, icon};
}

// A button of the row below the list, which moves down as the window grows.
constexpr Control rowButton(Id id, const char* name, const char* caption, int left, int tab,
                            Command command, Icon icon) {
    return control(id, name, Kind::PictureButton, caption, {left, 3000, 700, 560},
                   Follow::MovesDown, tab, command, icon);
}

// A label and its edit box, one row of the boxes below the button row.
constexpr Control boxLabel(Id id, const char* name, const char* caption, Rect place) {
    return control(id, name, Kind::SmallLabel, caption, place, Follow::MovesDown);
}
constexpr Control box(Id id, const char* name, Rect place, int tab, Kind kind = Kind::Edit,
                      const char* text = "") {
    return control(id, name, kind, text, place, Follow::MovesDownWidens, tab);
}

constexpr Control kControls[] = {
    control(Id::Line1, "Line1", Kind::Line, "", {0, 0, 8640, 30}),
    control(Id::Label1, "Label1", Kind::SmallLabel, "Key Word", {120, 120, 375, 375}),
    control(Id::Combo1, "Combo1", Kind::KeywordBox, "", keywordBoxPlace(2295), Follow::Stays, 0,
            Command::Search),
    control(Id::Command11, "Command11", Kind::Button, "Go", {3120, 150, 375, 260}, Follow::Stays, 1,
            Command::Search),
    control(Id::Command10, "Command10", Kind::PictureButton, "", {3600, 120, 300, 300},
            Follow::Stays, 2, Command::NextMode, Icon::Mode),
    control(Id::Label7, "Label7", Kind::SmallLabel, "個数", {4080, 150, 1455, 255}),
    control(Id::ListView1, "ListView1", Kind::ResultList, "", {120, 600, 5895, 2175}, Follow::Grows,
            3),
    rowButton(Id::Command6, "Command6", "Get", 120, 4, Command::Pages, Icon::Get),
    rowButton(Id::Command2, "Command2", "same", 840, 5, Command::Same, Icon::Same),
    rowButton(Id::Command1, "Command1", "Folder", 1560, 6, Command::Folders, Icon::Folder),
    rowButton(Id::Command8, "Command8", "Search", 2280, 7, Command::Search, Icon::Search),
    rowButton(Id::Command4, "Command4", "開く", 3120, 8, Command::Open, Icon::Open),
    rowButton(Id::Command5, "Command5", "削除", 3840, 9, Command::Trash, Icon::Delete),
    rowButton(Id::Command9, "Command9", "HTML", 4560, 10, Command::Html, Icon::Html),
    rowButton(Id::Command3, "Command3", "終了", 5280, 11, Command::Quit, Icon::Exit),
    boxLabel(Id::Label2, "Label2", "フォルダ", {120, 3720, 735, 255}),
    box(Id::Text2, "Text2", {840, 3720, 4335, 270}, 12),
    // "保存" stands at the end of the folder box's row and keeps to the right.
    control(Id::Command7, "Command7", Kind::PictureButton, "保存", {5280, 3720, 700, 560},
            Follow::MovesDownRight, 13, Command::Save, Icon::Save),
    boxLabel(Id::Label3, "Label3", "登録名", {120, 4100, 735, 255}),
    box(Id::Text3, "Text3", {840, 4080, 4335, 270}, 14),
    boxLabel(Id::Label4, "Label4", "URL", {240, 4440, 495, 255}),
    box(Id::Text4, "Text4", {840, 4440, 5175, 270}, 15, Kind::Edit, "https://www.example.com/"),
    boxLabel(Id::Label5, "Label5", "コメント", {120, 4800, 615, 255}),
    box(Id::Text5, "Text5", {840, 4800, 5175, 615}, 16, Kind::MultiLineEdit),
    // Two lines, broken at the blank.
    boxLabel(Id::Label6, "Label6", "保存先\nフォルダ", {120, 5520, 735, 375}),
    box(Id::Text6, "Text6", {840, 5520, 5175, 270}, 17),
};

constexpr MenuItem item(Id id, const char* name, const char* caption, Command command) {
    return {+id, name, caption, command};
}
constexpr MenuItem separator(Id id, const char* name) {
    return {+id, name};
}

// Saving and deleting need the boxes, and Auto Copy fills them: the strip,
// which shows none, greys them.
constexpr MenuItem kFileMenu[] = {
    {+Id::savemenu, "savemenu", "URL保存(&S)", Command::Save, 'S', false, true},
    {+Id::Mdelete, "Mdelete", "URL削除(&D)", Command::Trash, 0, false, true},
    item(Id::delfolder, "delfolder", "空きフォルダを削除(&E)", Command::DeleteEmptyFolders),
    item(Id::fixNames, "fixNames", "ファイル名をUTF-8に変換(&U)", Command::FixNames),
    separator(Id::line04, "line04"),
    item(Id::openurl, "openurl", "URLを開く(&O)", Command::OpenAddress),
    item(Id::mkHTML, "mkHTML", "HTMLを作成(&H)", Command::Html),
    item(Id::importmenu, "importmenu", "ブラウザからインポート(&I)", Command::Import),
    separator(Id::line01, "line01"),
    item(Id::exitprogram, "exitprogram", "終了(&X)", Command::Quit),
};
constexpr MenuItem kSettingsMenu[] = {
    {+Id::autoCP, "autoCP", "Auto Copy(&A)", Command::AutoCopy, 0, false, true},
    item(Id::setHTML, "setHTML", "HTML出力内容(&H)", Command::ExportOptions),
    item(Id::setKEYWORD, "setKEYWORD", "キーワード検索の設定(&K)", Command::SearchOptions),
    {+Id::everfront, "everfront", "常時前面表示(&T)", Command::StayOnTop, 0, true},
    {+Id::typesearch, "typesearch", "入力中に検索(&I)", Command::TypeSearch, 0, true},
    {+Id::rowcache, "rowcache", "一覧をキャッシュに保存(&L)", Command::RowCache, 0, true},
    separator(Id::line02, "line02"),
    item(Id::clearKey, "clearKey", "キーワード履歴の初期化(&C)", Command::ClearKeywords),
    item(Id::PKEYS, "PKEYS", "固定キーワードの登録(&F)", Command::FixedKeywords),
};
constexpr MenuItem kOtherMenu[] = {
    item(Id::toCSV, "toCSV", "CSVファイルに出力(&C)", Command::Csv),
    item(Id::toBookmarks, "toBookmarks", "ブラウザ用ブックマークに出力(&B)", Command::Bookmarks),
    separator(Id::line03, "line03"),
    item(Id::mkstcut, "mkstcut", "Brimmark のショートカット作成(&S)", Command::Shortcuts),
    separator(Id::line05, "line05"),
    item(Id::checkLinks, "checkLinks", "リンクの確認(&L)", Command::CheckLinks),
    item(Id::trashGone, "trashGone", "リンク切れをごみ箱に移動(&G)", Command::TrashGone),
    item(Id::updateMoved, "updateMoved", "移動したリンクを更新(&M)", Command::UpdateMoved),
    item(Id::duplicates, "duplicates", "重複の一覧(&D)", Command::Duplicates),
    item(Id::keepOne, "keepOne", "重複から選択中だけを残す(&K)", Command::KeepOne),
};
constexpr MenuItem kHelpMenu[] = {
    item(Id::ophelp, "ophelp", "HELPファイルを開く(&H)", Command::Help),
    item(Id::showV, "showV", "バージョン情報(&A)", Command::About),
};

// Access keys follow the captions in parentheses, as Japanese menus have them.
constexpr Menu kMenus[] = {
    {"filemenu", "ファイル(&F)", kFileMenu},
    {"Msearch", "設定(&S)", kSettingsMenu},
    {"other", "その他(&O)", kOtherMenu},
    {"uhelp", "ヘルプ(&H)", kHelpMenu},
};

// Its size is the mode's (kCompactLayout …).
constexpr Form kMainForm{"Form1", kWindowTitle, {}, kControls, +Id::Combo1, kMenus};

}  // namespace

const Form& mainForm() {
    return kMainForm;
}

}  // namespace brim::app
