#include <QApplication>
#include <QStringList>
#include <iostream>
#include <stdexcept>

#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSpecialFolders.h"
#include "platform/posix/SessionPages.h"
#include "platform/posix/SpawnOpener.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<brim::platform::IconvCodePage> codePage;
    try {
        codePage =
            std::make_unique<brim::platform::IconvCodePage>(brim::platform::defaultCodePageName());
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return 1;
    }
    brim::platform::PosixFileSystem fs;
    const brim::platform::PosixSpecialFolders folders;
    const brim::platform::LocaleCaseMapper caseMapper;
    brim::platform::SpawnOpener opener;
    brim::platform::SessionPages pages;
    brim::platform::FreedesktopTrash trash;
    brim::ui::QtDialogs dialogs;
    brim::ui::Form1 form({fs, *codePage, folders, caseMapper, opener, pages, trash, dialogs});
    // The one argument is a favorite's path, taken whole even when unquoted.
    form.startUp(QCoreApplication::arguments().mid(1).join(' '));
    return QApplication::exec();
}
