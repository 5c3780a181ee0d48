#include <QApplication>
#include <QStringList>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "platform/Services.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<brim::platform::Services> system;
    try {
        system = brim::platform::makeSystemServices();
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return 1;
    }
    brim::ui::QtPrompts prompts;
    brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
    prompts.setParentWidget(&form);
    // The one argument is a favorite's path, taken whole even when unquoted.
    form.startUp(QCoreApplication::arguments().mid(1).join(' '));
    return QApplication::exec();
}
