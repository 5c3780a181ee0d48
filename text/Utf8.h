#pragma once
// UTF-8 helpers: the program's rules count characters, not bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace brim::utf8 {

constexpr char32_t kInvalid = 0xFFFD;

// Decodes the character at `pos` and advances `pos` past it; a malformed byte
// gives kInvalid and advances by one.
char32_t next(std::string_view s, std::size_t& pos);

// A byte that continues a character (10xxxxxx), never one that starts it.
inline bool isTrail(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Writes the UTF-8 bytes of `c` to `out` (room for four) and returns their count.
std::size_t encode(char32_t c, char* out);
void append(std::string& out, char32_t c);

bool isValid(std::string_view s);

std::size_t length(std::string_view s);

// Byte offset of the character with 0-based index `index`, or s.size() past the end.
std::size_t offsetOf(std::string_view s, std::size_t index);

// C0 controls, DEL and C1 controls: characters a terminal acts on and a
// message box hides.
bool isControl(char32_t c);

// `s` as a message shows it: every control character, and every byte that is
// not UTF-8, written as \xNN (the character's code, the byte's value), so that
// the text can neither drive a terminal nor hide what it holds.
std::string visible(std::string_view s);

}  // namespace brim::utf8
