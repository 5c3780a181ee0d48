#pragma once
// Every service the program needs of the system, gathered for one platform.
// The window, each command-line verb and the tests take this set; only
// platform/ knows which classes stand behind the system's own.

#include <memory>

#include "platform/BrowserProfiles.h"
#include "platform/CaseMapper.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/Opener.h"
#include "platform/PageSource.h"
#include "platform/ProgramShortcuts.h"
#include "platform/SystemProxy.h"
#include "platform/Trash.h"
#include "platform/TreeWatcher.h"

namespace brim::platform {

struct Services {
    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<CodePage> codePage;
    std::unique_ptr<KnownFolders> folders;
    std::unique_ptr<CaseMapper> caseMapper;
    std::unique_ptr<Opener> opener;
    std::unique_ptr<PageSource> pages;
    std::unique_ptr<Trash> trash;
    std::unique_ptr<ProgramShortcuts> shortcuts;
    std::unique_ptr<BrowserProfiles> browsers;
    // Follows the Favorites tree's changes while a window shows it.
    std::unique_ptr<TreeWatcher> watcher;
    // The proxies set for the whole system; none where the environment's
    // variables alone name them.
    std::unique_ptr<SystemProxySource> proxy;
};

// The services of the system the program was built for, over the user's own
// folders, but for `pages`: the open pages are read from the browsers'
// session files above platform/, where app::makeSystemServices puts the
// whole set together. Throws std::runtime_error when the files' code page is
// unknown.
std::unique_ptr<Services> makePlatformServices();

}  // namespace brim::platform
