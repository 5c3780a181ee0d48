#pragma once
// What the buttons and menu items run: the window's handlers, a dialog, or
// the end of the program.

#include "app/FormTable.h"

namespace brim::app {

class Window;

// The dialogs the menu opens.
enum class Dialog { Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9 };

// What a command needs of the front end besides the rules.
class CommandHost {
  public:
    virtual ~CommandHost() = default;
    virtual void showDialog(Dialog dialog) = 0;
    // "終了": stores what is left to store and ends the program.
    virtual void quit() = 0;
};

// Runs `command`; false for Command::None.
bool run(Command command, Window& window, CommandHost& host);
// Runs the command of the main window's button or menu item `id`; false when
// `id` is neither or runs nothing.
bool runCommand(int id, Window& window, CommandHost& host);

}  // namespace brim::app
