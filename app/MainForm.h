#pragma once
// The main window as laid out: the keyword row, the result list, the button
// row, the edit boxes, the menu, and the window modes' sizes.

#include "app/FormTable.h"

namespace brim::app {

// The main window's controls and menu items. The numbers are the front ends'
// control ids; the buttons keep their numbers in the form.
enum class Id : int {
    Command1 = 1001,  // Folder
    Command2,         // same
    Command3,         // 終了
    Command4,         // 開く
    Command5,         // 削除
    Command6,         // Get
    Command7,         // 保存
    Command8,         // Search
    Command9,         // HTML
    Command10,        // the mode button
    Command11,        // Go
    Combo1 = 1101,    // the keyword box
    ListView1,
    Text2,
    Text3,
    Text4,
    Text5,
    Text6,
    Label7,  // the count
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Line1,
    savemenu = 2001,
    Mdelete,
    delfolder,
    openurl,
    mkHTML,
    exitprogram,
    autoCP,
    setHTML,
    setKEYWORD,
    everfront,
    clearKey,
    PKEYS,
    toCSV,
    toBookmarks,
    mkstcut,
    ophelp,
    showV,
    fixNames,
    importmenu,
    typesearch,
    rowcache,
    line01 = 2101,  // the separators
    line02,
    line03,
    line04,
    // The link check's and the duplicates' items.
    checkLinks = 2201,
    trashGone,
    updateMoved,
    duplicates,
    keepOne,
    line05 = 2301,
};

constexpr int operator+(Id id) {
    return static_cast<int>(id);
}

// Whether a size set by the rules may be enlarged by the user.
enum class Sizing { Exact, Minimum };

// The window modes' layouts: outer sizes in twips. The list and full layouts
// are the least the window shows; the compact strip is a launcher of one size.
struct WindowLayout {
    int width, height, comboWidth;
    Sizing sizing;
};
inline constexpr WindowLayout kCompactLayout{4140, 1245, 2415, Sizing::Exact};
inline constexpr WindowLayout kListLayout{6270, 4335, 2895, Sizing::Minimum};
inline constexpr WindowLayout kFullLayout{6270, 6615, 2895, Sizing::Minimum};
// The keyword box's place; its width follows the mode.
constexpr Rect keywordBoxPlace(int width) {
    return {600, 120, width, 300};
}

// The main window: its controls, menus and the caption of its title bar.
const Form& mainForm();

}  // namespace brim::app
