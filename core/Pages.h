#pragma once
// Which open browser pages the capture lists, and in which order.

#include <string>
#include <vector>

#include "platform/PageSource.h"

namespace brim::core {

// A page is taken when a web browser the page sources know shows it and the
// second character of its address is "t" (http, https, ftp; not file
// addresses, folders or about: pages).
bool IsCapturedPage(const platform::BrowserPage& page);

// The pages taken, as rows of the page list: last collected first.
std::vector<platform::BrowserPage> CapturePages(const std::vector<platform::BrowserPage>& pages);

}  // namespace brim::core
