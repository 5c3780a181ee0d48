#include "app/Commands.h"

#include "app/MainForm.h"
#include "app/Window.h"

namespace brim::app {
namespace {

using Handler = void (Window::*)();

// A button and the menu item of the same command run the same handler.
constexpr struct {
    Command command;
    Handler handler;
} kHandlers[] = {
    {Command::Folders, &Window::Command1_Click},
    {Command::Same, &Window::Command2_Click},
    {Command::Open, &Window::Command4_Click},
    {Command::Trash, &Window::Movetrash},
    {Command::Pages, &Window::Command6_Click},
    {Command::Save, &Window::Savefiles},
    {Command::Search, &Window::Command8_Click},
    {Command::Html, &Window::mkHTML_Click},
    {Command::NextMode, &Window::Command10_Click},
    {Command::DeleteEmptyFolders, &Window::delfolder_Click},
    {Command::FixNames, &Window::fixNames_Click},
    {Command::OpenAddress, &Window::openIE},
    {Command::StayOnTop, &Window::everfront_Click},
    {Command::TypeSearch, &Window::typesearch_Click},
    {Command::RowCache, &Window::rowcache_Click},
    {Command::ClearKeywords, &Window::clearKey_Click},
    {Command::Csv, &Window::toCSV_Click},
    {Command::Bookmarks, &Window::toBookmarks_Click},
    {Command::Help, &Window::ophelp_Click},
    {Command::TrashGone, &Window::trashGone_Click},
    {Command::UpdateMoved, &Window::updateMoved_Click},
    {Command::Duplicates, &Window::duplicates_Click},
    {Command::KeepOne, &Window::keepOne_Click},
};

constexpr struct {
    Command command;
    Dialog dialog;
} kDialogs[] = {
    {Command::FixedKeywords, Dialog::Form2}, {Command::SearchOptions, Dialog::Form3},
    {Command::ExportOptions, Dialog::Form4}, {Command::Shortcuts, Dialog::Form5},
    {Command::About, Dialog::Form6},         {Command::AutoCopy, Dialog::Form7},
    {Command::Import, Dialog::Form8},        {Command::CheckLinks, Dialog::Form9},
};

}  // namespace

bool run(Command command, Window& window, CommandHost& host) {
    for (const auto& h : kHandlers) {
        if (h.command != command) continue;
        (window.*h.handler)();
        return true;
    }
    for (const auto& d : kDialogs) {
        if (d.command != command) continue;
        host.showDialog(d.dialog);
        return true;
    }
    if (command == Command::Quit) {
        host.quit();
        return true;
    }
    return false;
}

bool runCommand(int id, Window& window, CommandHost& host) {
    const Form& form = mainForm();
    // Boxes and lists run theirs on keys of their own, not by a click.
    if (const Control* c = findControl(form, id)) {
        const bool clicked = c->kind == Kind::Button || c->kind == Kind::PictureButton;
        return clicked && run(c->command, window, host);
    }
    if (const MenuItem* m = findMenuItem(form, id)) return run(m->command, window, host);
    return false;
}

}  // namespace brim::app
