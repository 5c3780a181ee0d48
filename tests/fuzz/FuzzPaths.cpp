// The path functions and UTF-8 helpers on any text.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Paths.h"
#include "text/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view p(reinterpret_cast<const char*>(data), size);
    const std::string full = brim::core::FullPath("/home/u/Favorites/", p);
    if (full.empty() || full.front() != '/') __builtin_trap();
    if (full.find("//") != std::string::npos || full.find('\\') != std::string::npos)
        __builtin_trap();
    const auto last = brim::core::LastSeparatorPos(p);
    if (last < 0 || static_cast<std::size_t>(last) > brim::utf8::length(p)) __builtin_trap();
    const std::string stripped = brim::core::StripExtension(p);
    if (p.substr(0, stripped.size()) != stripped) __builtin_trap();
    const std::string label = brim::core::FolderLabel("/home/u/Favorites/", full);
    if (label.empty() || label.front() != '\\') __builtin_trap();
    brim::core::isExpressibleName(p);
    return 0;
}
