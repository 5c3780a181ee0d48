#pragma once
// The main window's buttons and menu items by control id, and what each one
// runs. The ids are the window's own; the handlers are the rules' (app::Window).

namespace brim::app {
class Window;
}

namespace brim::win {

// Control ids. The buttons keep the form's numbers.
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
    Combo1 = 1101,
    ListView1,
    Text2,
    Text3,
    Text4,
    Text5,
    Text6,
    Label7,
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
};

constexpr int operator+(Id id) {
    return static_cast<int>(id);
}

// The dialogs the menu opens.
enum class Dialog { Form2, Form3, Form4, Form5, Form6, Form7, Form8 };

// What a command needs of the window besides the rules.
class CommandHost {
  public:
    virtual ~CommandHost() = default;
    virtual void showDialog(Dialog dialog) = 0;
    // "終了": stores what is left to store and ends the program.
    virtual void quit() = 0;
};

// Runs the command of a button or menu item. False when `id` is none of them.
bool runCommand(int id, app::Window& window, CommandHost& host);

}  // namespace brim::win
