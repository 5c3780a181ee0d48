#include "core/Pages.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brim::core {

bool IsCapturedPage(const platform::BrowserPage& page) {
    static constexpr std::array<std::string_view, 4> kBrowsers = {
        "Microsoft Internet Explorer", "Mozilla Firefox", "Chromium", "Google Chrome"};
    const bool browser =
        std::find(kBrowsers.begin(), kBrowsers.end(), page.application) != kBrowsers.end();
    return browser && page.url.size() >= 2 && page.url[1] == 't';
}

std::vector<platform::BrowserPage> CapturePages(const std::vector<platform::BrowserPage>& pages) {
    std::vector<platform::BrowserPage> rows;
    for (auto it = pages.rbegin(); it != pages.rend(); ++it) {
        if (IsCapturedPage(*it)) rows.push_back(*it);
    }
    return rows;
}

}  // namespace brim::core
