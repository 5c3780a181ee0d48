#pragma once
// The profile (INI) format on raw bytes of the file's code page. Lookups behave
// as the Windows profile service does for files it reads: names match without
// regard to ASCII case, blanks around names and values are trimmed, the first
// of duplicate sections or keys wins, and CRLF, LF and CR all end a line.
// Changes touch only the bytes of the one value; everything else is kept.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace brim::core {

// The stored value of `key` in `section` (both encoded in the code page), up
// to its first NUL, trimmed, and without one pair of matching quotation marks
// ('"' or "'") around it; nullopt when the section or key is missing.
std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key,
                                                 const platform::CodePage& cp);

// A key looked for by findProfileValues(), and the value found.
struct ProfileKey {
    std::string_view section;
    std::string_view key;
    std::optional<std::string_view> value;
};

// Sets each key's value as findProfileValue() finds it, in one pass over the
// text however many keys there are.
void findProfileValues(std::string_view text, std::span<ProfileKey> keys,
                       const platform::CodePage& cp);

// `text` with `key` in `section` set to `value` (all encoded, value on one
// line): an existing key keeps its place and spelling, a new key goes after
// the section's last non-blank line, a new section is appended as
// "[section]" CRLF "key=value" CRLF. A value that starts and ends with the
// same quotation mark (after trimming) is written inside one more pair of
// double quotes, so that it reads back unchanged.
std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value, const platform::CodePage& cp);

}  // namespace brim::core
