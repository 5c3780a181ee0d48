#pragma once
// The forms as plain data, drawn by every front end: each control's kind,
// caption, place in twips, how it follows an enlarged window, tab index and
// command; each menu item's caption, command and when it is greyed.

#include <span>
#include <vector>

namespace brim::app {

// A place or size: left, top, width, height (twips in the tables).
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// What a control is; each front end makes its own widget of each kind.
enum class Kind {
    Line,           // an etched line
    Frame,          // an etched frame drawn around other controls
    Label,          // text in the form's face
    WrappedLabel,   // text in the form's face that wraps onto the lines below
    SmallLabel,     // text in a smaller face, for the main window's narrow labels
    Image,          // the program's icon
    Link,           // an address the program opens; the caption is the address
    Button,         // a push button with a caption
    PictureButton,  // a picture above the caption, or the picture alone without one
    KeywordBox,     // an edit box with a drop-down list
    ResultList,     // the list of rows with column headers
    ListBox,        // a plain list of lines
    Edit,           // one line of text; `hint` shows in it while it is empty
    DropDownList,   // a line chosen from a list, not typed
    ProgressBar,    // how far a long task has come
    MultiLineEdit,  // several lines of text
    CheckBox,       // a box with values off, on and grayed
    LongCheckBox,   // a check box whose caption wraps onto a second line
    Option,         // a choice among the options next to it in the table
};

// How a control follows the client area when the user enlarges the window
// beyond its layout: the list takes the room, what lies below it moves down,
// and the edit boxes take the width.
enum class Follow { Stays, Grows, MovesDown, MovesDownWidens, MovesDownRight };

// `place` in a client area `dx` wider and `dy` taller than the layout's.
constexpr Rect followed(Rect place, Follow follow, int dx, int dy) {
    switch (follow) {
        case Follow::Stays:
            break;
        case Follow::Grows:
            return {place.left, place.top, place.width + dx, place.height + dy};
        case Follow::MovesDown:
            return {place.left, place.top + dy, place.width, place.height};
        case Follow::MovesDownWidens:
            return {place.left, place.top + dy, place.width + dx, place.height};
        case Follow::MovesDownRight:
            return {place.left + dx, place.top + dy, place.width, place.height};
    }
    return place;
}

// The pictures of the main window's buttons.
enum class Icon { None, Get, Same, Folder, Search, Open, Delete, Html, Exit, Save, Mode };

// What a button or menu item runs (see Commands.h).
enum class Command {
    None,
    Folders,             // the folder list
    Same,                // favorites of the shown address
    Open,                // opens the shown address
    Trash,               // moves the shown favorite to the trash
    Pages,               // the open browser pages
    Save,                // saves the boxes as a favorite
    Search,              // searches for the keywords
    Html,                // the list as an HTML file
    NextMode,            // the next window mode
    Quit,                // stores what is left and ends the program
    DeleteEmptyFolders,  //
    FixNames,            // names in the code page made UTF-8
    OpenAddress,         // opens the shown address in the browser
    StayOnTop,           // the window over the others, or not
    ClearKeywords,       // forgets the keyword history
    Csv,                 // the list as a CSV file
    Bookmarks,           // the list as a browser's bookmark file
    Help,                // the help document
    FixedKeywords,       // the dialogs: Form2 …
    SearchOptions,       // Form3
    ExportOptions,       // Form4
    Shortcuts,           // Form5
    About,               // Form6
    AutoCopy,            // Form7
    Import,              // Form8
    CheckLinks,          // Form9: the link check of the listed favorites
    TrashGone,           // the last check's gone favorites to the trash
    UpdateMoved,         // the last check's moved favorites to their new address
    Duplicates,          // the favorites that lead to the same page, by group
    KeepOne,             // the selected one of a group kept, the others to the trash
    TypeSearch,          // the list follows the keyword box as the user types, or not
    RowCache,            // what the walks read is kept on disk for the next start, or not
};

inline constexpr int kNoTab = -1;

struct Control {
    int id;
    const char* name;  // as the form names it: "Command6", "Text2"
    Kind kind;
    const char* caption;
    Rect place;
    Follow follow = Follow::Stays;
    int tab = kNoTab;  // the place in the tab order; kNoTab takes no focus by Tab
    Command command = Command::None;
    Icon icon = Icon::None;
    const char* hint = nullptr;  // an empty edit box's grey text
};

// A menu item; one without a caption is a separator.
struct MenuItem {
    int id;
    const char* name;
    const char* caption = nullptr;  // the access key after '&'
    Command command = Command::None;
    char ctrlKey = 0;            // Ctrl with this key runs it too
    bool checkMark = false;      // shows a check mark from the start; the rules change it
    bool greyedInStrip = false;  // greyed in the compact strip, where no boxes show
};

struct Menu {
    const char* name;
    const char* caption;
    std::span<const MenuItem> items;
};

struct Form {
    const char* name;
    const char* caption;
    Rect client;  // a dialog's client area: width and height in twips
    std::span<const Control> controls;
    int focus = 0;  // the control that has the focus when the form opens; 0: the first
    std::span<const Menu> menus = {};
};

// The control with `id`, or null.
const Control* findControl(const Form& form, int id);
const Control* findControl(const Form& form, const char* name);
// The menu item with `id`, or null.
const MenuItem* findMenuItem(const Form& form, int id);
// The controls that Tab reaches in a client area `height` twips high, in tab
// order: what the lower edge cuts off is passed over, as hidden controls are.
std::vector<const Control*> tabOrder(const Form& form, int height);

}  // namespace brim::app
