#pragma once
// Readers of the browsers' session files, from their bytes: Firefox's session
// store and the Chromium family's session command log. They keep only what the
// page list shows, hold their memory within fixed limits, and never throw: a
// file they cannot read whole is skipped with a reason the caller can show.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PageSource.h"

namespace brim::core {

// Far above any real session (a few megabytes even with thousands of tabs);
// a store that claims more is refused before anything is allocated for it.
constexpr std::size_t kMaxSessionJsonBytes = 64u << 20;

// What one session file holds. `problem` is empty when the file was read;
// otherwise it says why the file was skipped, and `pages` is empty.
struct SessionRead {
    std::vector<platform::BrowserPage> pages;
    std::string problem;
};

enum class Lz4Status { Ok, Damaged, TooLarge, NoMemory };

// Decodes one LZ4 block that expands to exactly `size` bytes into `out`,
// with liblz4. A size above `limit` is refused before `out` grows; on any
// failure `out` is left empty.
[[nodiscard]] Lz4Status DecodeLz4Block(std::string_view block, std::size_t size, std::string& out,
                                       std::size_t limit = kMaxSessionJsonBytes) noexcept;

// The pages of a Firefox session store (recovery.jsonlz4: "mozLz40\0", the
// 32-bit little-endian size, one LZ4 block of JSON): each tab's current entry,
// window by window, as "Mozilla Firefox" pages.
SessionRead ReadFirefoxSession(std::string_view bytes) noexcept;

// The pages of a Chromium session file ("SNSS", a version, then commands):
// each open tab's current navigation, window by window, tabs in their order,
// as pages of `application`. A file cut short yields what its whole commands
// say.
SessionRead ReadChromiumSession(std::string_view bytes, std::string_view application) noexcept;

}  // namespace brim::core
