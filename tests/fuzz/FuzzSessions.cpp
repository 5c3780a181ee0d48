// The browser session readers on damaged files. The first byte chooses the
// reader; for Firefox an odd one wraps the rest as the JSON of a well-formed
// store, so that the JSON handling is reached too.
#include <lz4.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/posix/SessionPages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 3 == 0) {
        brim::platform::readChromiumSession(rest, "Chromium");
    } else if (data[0] % 3 == 1) {
        brim::platform::readFirefoxSession(rest);
    } else {
        std::string block(
            static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(rest.size()))), '\0');
        const int n = LZ4_compress_default(rest.data(), block.data(), static_cast<int>(rest.size()),
                                           static_cast<int>(block.size()));
        const auto length = static_cast<std::uint32_t>(rest.size());
        std::string file("mozLz40\0", 8);
        file.append(reinterpret_cast<const char*>(&length), 4);
        file.append(block, 0, static_cast<std::size_t>(n));
        brim::platform::readFirefoxSession(file);
    }
    return 0;
}
