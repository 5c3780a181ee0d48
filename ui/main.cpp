#include <QApplication>
#include <QStringList>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "ui/SystemServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<brim::ui::SystemServices> system;
    try {
        system = std::make_unique<brim::ui::SystemServices>();
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return 1;
    }
    brim::ui::Form1 form(system->services());
    // The one argument is a favorite's path, taken whole even when unquoted.
    form.startUp(QCoreApplication::arguments().mid(1).join(' '));
    return QApplication::exec();
}
