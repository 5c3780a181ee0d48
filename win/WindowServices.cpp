#include "win/WindowServices.h"

#include <windows.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"

namespace brim::win {
namespace {

// Open browser pages are not read on Windows yet: "Get" lists none.
struct NoPages final : platform::PageSource {
    std::vector<platform::BrowserPage> openPages() override { return {}; }
};

// Nor are shortcuts to the program made yet; the user is told so.
struct NoShortcuts final : platform::ProgramShortcuts {
    platform::IoResult create(const std::string&) override {
        return {platform::IoError::Other, ERROR_NOT_SUPPORTED};
    }
    std::string refusal() const override { return "この版ではショートカットを作成できません。"; }
};

}  // namespace

std::unique_ptr<platform::Services> makeWindowServices() {
    auto s = std::make_unique<platform::Services>();
    s->fs = std::make_unique<platform::Win32FileSystem>();
    // The files' text is in the system's ANSI code page.
    s->codePage = std::make_unique<platform::Win32CodePage>(GetACP());
    s->folders = std::make_unique<platform::Win32KnownFolders>();
    s->caseMapper = std::make_unique<platform::Win32CaseMapper>();
    s->opener = std::make_unique<platform::ShellOpener>();
    s->pages = std::make_unique<NoPages>();
    s->trash = std::make_unique<platform::RecycleBin>();
    s->shortcuts = std::make_unique<NoShortcuts>();
    return s;
}

}  // namespace brim::win
