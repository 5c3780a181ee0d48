#pragma once
#include <string>

namespace brim::platform {

// The user's folders the program works with. Each path is absolute and ends in
// exactly one separator.
class KnownFolders {
  public:
    virtual ~KnownFolders() = default;
    virtual std::string favorites() const = 0;
    virtual std::string desktop() const = 0;
    virtual std::string sendTo() const = 0;
    virtual std::string programFolder() const = 0;
    // Full path of the settings file "Brimmark.ini".
    virtual std::string settingsFile() const = 0;
    // Full path of the help document; beside the program unless the system
    // keeps it elsewhere.
    virtual std::string helpFile() const { return programFolder() + "Brimmark.html"; }
    // The folder of the program's own state (the link check's results);
    // empty where there is none, and nothing is kept.
    virtual std::string stateFolder() const { return {}; }
    // The environment variable that names another Favorites folder; empty
    // where the system's own folder settings choose it.
    virtual std::string favoritesVariable() const { return {}; }
    // The folder of what the program derives and may rebuild at any time (its
    // catalogue of the favorites' rows); empty where it keeps none.
    virtual std::string cacheFolder() const { return {}; }
};

}  // namespace brim::platform
