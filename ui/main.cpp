#include <QApplication>
#include <QDir>
#include <QStringList>
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "app/CommandLine.h"
#include "app/SystemServices.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "ui/Icons.h"
#include "ui/Translations.h"

namespace {

constexpr const char* kUsage =
    "Usage: brimmark [FILE.url]\n"
    "       brimmark --help | --version\n"
    "\n"
    "Brimmark - 私のお気に入り: lists, searches and edits the browser favorites\n"
    "(Internet Shortcut files) under $BRIMMARK_FAVORITES, else ~/Favorites.\n"
    "With FILE.url, starts with that favorite shown and lists the favorites\n"
    "with the same address.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/brimmark/Brimmark.ini (default ~/.config/brimmark/),\n"
    "or Brimmark.ini beside the program when one lies there.\n"
    "See brimmark(1) and brimmark-cli(1).\n";

// Answers --help and --version before anything needs a display. Returns true
// when it did.
bool answeredInfoOption(int argc, char** argv) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cout << kUsage << std::flush;
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "brimmark " << BRIMMARK_VERSION << '\n' << std::flush;
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredInfoOption(argc, argv)) return std::cout ? 0 : 1;
    QApplication app(argc, argv);
    // Panels find the desktop entry, and with it the name and icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("brimmark"));
    QApplication::setWindowIcon(brim::ui::programIcon());
    if (!brim::ui::installJapaneseTranslations(app)) {
        std::cerr << "brimmark: Qt's Japanese translations are missing (qt6-translations-l10n); "
                     "its standard buttons stay in English\n";
    }
    std::unique_ptr<brim::platform::Services> system;
    try {
        system = brim::app::makeSystemServices();
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return 1;
    }
    brim::ui::QtPrompts prompts;
    brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
    prompts.setParentWidget(&form);
    // The one argument is a favorite's path, taken whole even when unquoted.
    const std::string argument = QCoreApplication::arguments().mid(1).join(' ').toStdString();
    form.startUp(QString::fromStdString(
        brim::app::ArgumentPath(argument, QDir::currentPath().toStdString())));
    return QApplication::exec();
}
