#include "win/Commands.h"

#include "app/Window.h"

namespace brim::win {
namespace {

using Handler = void (app::Window::*)();

struct Binding {
    Id id;
    Handler handler;
};

// A button and the menu item of the same command run the same handler.
constexpr Binding kHandlers[] = {
    {Id::Command1, &app::Window::Command1_Click},
    {Id::Command2, &app::Window::Command2_Click},
    {Id::Command4, &app::Window::Command4_Click},
    {Id::Command5, &app::Window::Movetrash},
    {Id::Command6, &app::Window::Command6_Click},
    {Id::Command7, &app::Window::Savefiles},
    {Id::Command8, &app::Window::Command8_Click},
    {Id::Command9, &app::Window::mkHTML_Click},
    {Id::Command10, &app::Window::Command10_Click},
    {Id::Command11, &app::Window::Command8_Click},
    {Id::savemenu, &app::Window::Savefiles},
    {Id::Mdelete, &app::Window::Movetrash},
    {Id::delfolder, &app::Window::delfolder_Click},
    {Id::fixNames, &app::Window::fixNames_Click},
    {Id::openurl, &app::Window::openIE},
    {Id::mkHTML, &app::Window::mkHTML_Click},
    {Id::everfront, &app::Window::everfront_Click},
    {Id::clearKey, &app::Window::clearKey_Click},
    {Id::toCSV, &app::Window::toCSV_Click},
    {Id::toBookmarks, &app::Window::toBookmarks_Click},
    {Id::ophelp, &app::Window::ophelp_Click},
};

constexpr struct {
    Id id;
    Dialog dialog;
} kDialogs[] = {
    {Id::PKEYS, Dialog::Form2},      {Id::setKEYWORD, Dialog::Form3}, {Id::setHTML, Dialog::Form4},
    {Id::mkstcut, Dialog::Form5},    {Id::showV, Dialog::Form6},      {Id::autoCP, Dialog::Form7},
    {Id::importmenu, Dialog::Form8},
};

}  // namespace

bool runCommand(int id, app::Window& window, CommandHost& host) {
    for (const Binding& b : kHandlers) {
        if (+b.id != id) continue;
        (window.*b.handler)();
        return true;
    }
    for (const auto& d : kDialogs) {
        if (+d.id != id) continue;
        host.showDialog(d.dialog);
        return true;
    }
    if (id == +Id::Command3 || id == +Id::exitprogram) {
        host.quit();
        return true;
    }
    return false;
}

}  // namespace brim::win
