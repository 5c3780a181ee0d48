#pragma once
// The system's own services for the window, owned in one place.

#include <memory>

#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixKnownFolders.h"
#include "platform/posix/SessionPages.h"
#include "platform/posix/SpawnOpener.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

namespace brim::ui {

struct SystemServices {
    // Throws std::runtime_error when the code page is unknown.
    SystemServices()
        : codePage(platform::defaultCodePageName()), shortcuts(fs, folders.programFolder()) {}

    Services services() {
        return {fs, codePage, folders, caseMapper, opener, pages, trash, shortcuts, dialogs};
    }

    platform::PosixFileSystem fs;
    platform::IconvCodePage codePage;
    platform::PosixKnownFolders folders;
    platform::LocaleCaseMapper caseMapper;
    platform::SpawnOpener opener;
    platform::SessionPages pages;
    platform::FreedesktopTrash trash;
    platform::DesktopEntryShortcuts shortcuts;
    QtDialogs dialogs;
};

}  // namespace brim::ui
