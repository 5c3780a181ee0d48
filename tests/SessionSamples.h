#pragma once
// Browser session files for tests: Firefox stores packed with liblz4, or by
// hand when they expand to more than a test should hold; Chromium command
// logs built command by command.

#include <lz4.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace brim::test {

inline std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

// An LZ4 length beyond its 4-bit nibble: bytes of 255 and one smaller.
inline void appendLength(std::string& out, std::size_t rest) {
    for (; rest >= 255; rest -= 255)
        out += '\xFF';
    out += static_cast<char>(rest);
}

// `data` as one LZ4 block.
inline std::string lz4Block(const std::string& data) {
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(data.size()))),
                      '\0');
    const int n = LZ4_compress_default(data.data(), block.data(), static_cast<int>(data.size()),
                                       static_cast<int>(block.size()));
    block.resize(static_cast<std::size_t>(n));
    return block;
}

// A Firefox session store holding `json`.
inline std::string jsonlz4(const std::string& json) {
    return std::string("mozLz40\0", 8) + le32(static_cast<std::uint32_t>(json.size())) +
           lz4Block(json);
}

// A Firefox session store whose JSON is `head`, `count` copies of `unit`
// and `tail`, packed by hand as one match so that the file stays small
// whatever it expands to. `unit` repeated count - 1 times is at least 4 bytes.
inline std::string repeatedStore(const std::string& head, const std::string& unit,
                                 std::uint64_t count, const std::string& tail) {
    const std::string first = head + unit;
    const std::uint64_t match = unit.size() * (count - 1);
    std::string block;
    block += static_cast<char>((first.size() >= 15 ? 15 : first.size()) << 4 |
                               (match - 4 >= 15 ? 15 : match - 4));
    if (first.size() >= 15) appendLength(block, first.size() - 15);
    block += first;
    block += static_cast<char>(unit.size() & 0xFF);
    block += static_cast<char>(unit.size() >> 8);
    if (match - 4 >= 15) appendLength(block, static_cast<std::size_t>(match - 4 - 15));
    block += static_cast<char>((tail.size() >= 15 ? 15 : tail.size()) << 4);
    if (tail.size() >= 15) appendLength(block, tail.size() - 15);
    block += tail;
    const std::uint64_t size = first.size() + match + tail.size();
    return std::string("mozLz40\0", 8) + le32(static_cast<std::uint32_t>(size)) + block;
}

// Chromium session commands.
struct Snss {
    std::string bytes = "SNSS" + le32(3);
    void command(std::uint8_t id, const std::string& payload) {
        const auto size = static_cast<std::uint16_t>(payload.size() + 1);
        bytes += static_cast<char>(size & 0xFF);
        bytes += static_cast<char>(size >> 8);
        bytes += static_cast<char>(id);
        bytes += payload;
    }
    static std::string ints(std::initializer_list<std::int32_t> values) {
        std::string s;
        for (auto v : values)
            s += le32(static_cast<std::uint32_t>(v));
        return s;
    }
    static std::string padded(std::string s) {
        while (s.size() % 4)
            s += '\0';
        return s;
    }
    void navigation(std::int32_t tab, std::int32_t index, const std::string& url,
                    const std::u16string& title) {
        std::string body = ints({tab, index, static_cast<std::int32_t>(url.size())}) + padded(url) +
                           ints({static_cast<std::int32_t>(title.size())});
        std::string t;
        for (char16_t c : title) {
            t += static_cast<char>(c & 0xFF);
            t += static_cast<char>(c >> 8);
        }
        body += padded(t) + ints({0, 0});  // fields that follow and are not read
        command(6, le32(static_cast<std::uint32_t>(body.size())) + body);
    }
};

}  // namespace brim::test
