#include "platform/Services.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/InotifyTreeWatcher.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixBrowserProfiles.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixKnownFolders.h"
#include "platform/posix/SpawnOpener.h"

namespace brim::platform {

std::unique_ptr<BrowserProfiles> makeBrowserProfiles() {
    return std::make_unique<PosixBrowserProfiles>();
}

std::unique_ptr<Services> makePlatformServices() {
    auto s = std::make_unique<Services>();
    s->codePage = std::make_unique<IconvCodePage>(defaultCodePageName());
    s->fs = std::make_unique<PosixFileSystem>();
    s->folders = std::make_unique<PosixKnownFolders>();
    s->caseMapper = std::make_unique<LocaleCaseMapper>();
    s->opener = std::make_unique<SpawnOpener>();
    s->trash = std::make_unique<FreedesktopTrash>();
    s->shortcuts = std::make_unique<DesktopEntryShortcuts>(*s->fs, s->folders->programFolder());
    s->browsers = makeBrowserProfiles();
    s->watcher = std::make_unique<InotifyTreeWatcher>();
    return s;
}

}  // namespace brim::platform
