// The browser session readers on damaged files. The first byte chooses the
// reader; for Firefox an odd one wraps the rest as the JSON of a well-formed
// store, so that the JSON handling is reached too, and another hands the rest
// to the LZ4 block decoder with the size its first bytes give.
#include <lz4.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/SessionFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 4) {
        case 0:
            brim::core::ReadChromiumSession(rest, "Chromium");
            break;
        case 1:
            brim::core::ReadFirefoxSession(rest);
            break;
        case 2: {
            std::string block(
                static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(rest.size()))), '\0');
            const int n =
                LZ4_compress_default(rest.data(), block.data(), static_cast<int>(rest.size()),
                                     static_cast<int>(block.size()));
            const auto length = static_cast<std::uint32_t>(rest.size());
            std::string file("mozLz40\0", 8);
            file.append(reinterpret_cast<const char*>(&length), 4);
            file.append(block, 0, static_cast<std::size_t>(n));
            brim::core::ReadFirefoxSession(file);
            break;
        }
        default: {
            if (rest.size() < 2) break;
            // Up to 64 KB of output, so that each run stays quick.
            const std::size_t expanded =
                static_cast<std::uint8_t>(rest[0]) |
                static_cast<std::size_t>(static_cast<std::uint8_t>(rest[1])) << 8;
            std::string out;
            const auto status = brim::core::DecodeLz4Block(rest.substr(2), expanded, out);
            if (status == brim::core::Lz4Status::Ok && out.size() != expanded) __builtin_trap();
            break;
        }
    }
    return 0;
}
