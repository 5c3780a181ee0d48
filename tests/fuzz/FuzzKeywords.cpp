// Keyword splitting: at most the keyword cap, every keyword a non-empty
// piece of the text.
#include <cstdint>
#include <string_view>

#include "core/Search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto keys = brim::core::SplitKeywords(text);
    if (keys.size() > brim::core::kMaxSearchKeys) __builtin_trap();
    for (const auto& k : keys) {
        if (k.empty() || text.find(k) == std::string_view::npos) __builtin_trap();
    }
    return 0;
}
