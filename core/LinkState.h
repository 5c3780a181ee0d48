#pragma once
// The last link check's results, kept per address with the time each was
// checked, in the program's own state file rather than in the favorites.

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "core/LinkCheck.h"
#include "platform/FileSystem.h"

namespace brim::core {

struct CheckedLink {
    LinkResult result;
    std::int64_t checked = 0;  // seconds since 1970
    bool operator==(const CheckedLink&) const = default;
};

class LinkState {
  public:
    // The state file in the program's state folder (ending in a separator).
    static std::string fileIn(const std::string& stateFolder) {
        return stateFolder + "linkcheck.json";
    }

    // What `file` holds; nothing when it is missing or damaged, so that a
    // damaged file only makes the next check take every address.
    static LinkState read(platform::FileSystem& fs, const std::string& file);

    // Lays these results over what `file` holds by now (another check may have
    // written it meanwhile) and replaces it, making its folders when needed.
    platform::IoResult save(platform::FileSystem& fs, const std::string& file) const;

    void record(const std::string& url, LinkResult result, std::int64_t checked) {
        links[url] = {std::move(result), checked};
        forgotten.erase(url);
    }
    // Takes `url`'s record out of the file too when saved: no favorite leads
    // there any more.
    void forget(const std::string& url) {
        links.erase(url);
        forgotten.insert(url);
    }
    // Whether `url` was checked less than `days` days before `now`.
    bool checkedWithin(const std::string& url, std::int64_t now, double days) const;

    std::map<std::string, CheckedLink> links;
    std::set<std::string> forgotten;
};

}  // namespace brim::core
