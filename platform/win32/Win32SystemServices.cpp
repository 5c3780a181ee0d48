#include <windows.h>

#include "platform/Services.h"
#include "platform/win32/ShellLinkShortcuts.h"
#include "platform/win32/Win32BrowserProfiles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32TreeWatcher.h"

namespace brim::platform {

std::unique_ptr<BrowserProfiles> makeBrowserProfiles() {
    return std::make_unique<Win32BrowserProfiles>();
}

std::unique_ptr<Services> makePlatformServices() {
    auto s = std::make_unique<Services>();
    // The files' text is in the system's ANSI code page (932 on Japanese Windows).
    s->codePage = std::make_unique<Win32CodePage>(GetACP());
    s->fs = std::make_unique<Win32FileSystem>();
    s->folders = std::make_unique<Win32KnownFolders>();
    s->caseMapper = std::make_unique<Win32CaseMapper>();
    s->opener = std::make_unique<ShellOpener>();
    s->trash = std::make_unique<RecycleBin>();
    s->shortcuts = std::make_unique<ShellLinkShortcuts>(s->folders->programFolder());
    s->browsers = makeBrowserProfiles();
    s->watcher = std::make_unique<Win32TreeWatcher>();
    s->proxy = std::make_unique<WinHttpSystemProxy>();
    return s;
}

}  // namespace brim::platform
