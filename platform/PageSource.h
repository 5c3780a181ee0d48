#pragma once
#include <string>
#include <vector>

namespace brim::platform {

// A page open in a browser window or tab.
struct BrowserPage {
    std::string title;
    std::string url;
    std::string application;  // the browser's name: "Mozilla Firefox", "Chromium", …
    bool operator==(const BrowserPage&) const = default;
};

// The pages open in the user's browsers, in the browsers' own order.
class PageSource {
  public:
    virtual ~PageSource() = default;
    virtual std::vector<BrowserPage> openPages() = 0;
    // What the last openPages() passed over and why (a damaged or over-large
    // session file), one line each, for a caller that reports it.
    virtual std::vector<std::string> skipped() const { return {}; }
};

}  // namespace brim::platform
