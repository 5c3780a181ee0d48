#pragma once
// Where the user's browsers keep their profiles, and whether each runs. The
// session files themselves are read by the core, through the FileSystem.

#include <memory>
#include <string>
#include <vector>

namespace brim::platform {

enum class BrowserKind {
    Firefox,   // a folder holding "profiles.ini" and the profiles it names
    Chromium,  // a user-data folder: one subfolder per profile, with "Sessions"
};

struct BrowserFolder {
    BrowserKind kind;
    std::string folder;       // absolute, ending in one separator
    std::string application;  // the browser's name the pages carry
    bool operator==(const BrowserFolder&) const = default;
};

class BrowserProfiles {
  public:
    virtual ~BrowserProfiles() = default;

    // Every place this system's browsers may keep profiles, existing or not,
    // in the order their pages are collected.
    virtual std::vector<BrowserFolder> browserFolders() const = 0;

    // The browser is running on `profile`: a Firefox profile folder, or a
    // Chromium user-data folder. A browser that is not running has no open
    // pages, whatever its files say.
    virtual bool isRunning(BrowserKind kind, const std::string& profile) const = 0;
};

// The locator of the system the program was built for.
std::unique_ptr<BrowserProfiles> makeBrowserProfiles();

}  // namespace brim::platform
