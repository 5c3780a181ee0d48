#pragma once
// The encodings a profile file may be in. Each file keeps the one it has: a
// UTF-16LE byte order mark means UTF-16LE (as Windows' profile functions
// read and write it), a UTF-8 mark means UTF-8, a file without a mark that is
// valid UTF-8 but not valid in the code page is UTF-8 too, and everything
// else is the code page. The profile engine works on bytes in which an ASCII
// character is one byte, so a UTF-16LE file is turned into UTF-8 for the
// change and back again, losslessly.

#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace brim::core {

enum class FileEncoding { CodePage, Utf8, Utf8Bom, Utf16Le };

FileEncoding detectEncoding(std::string_view bytes, const platform::CodePage& cp);

// UTF-8 as a code page: every character encodes; malformed bytes decode as
// U+FFFD (a lone UTF-16 surrogate as one U+FFFD).
const platform::CodePage& utf8CodePage();

// A file's bytes in the form the profile engine scans.
struct ProfileBytes {
    FileEncoding encoding = FileEncoding::CodePage;
    std::string text;      // UTF-16LE after the mark as UTF-8; the others as they are
    std::string trailing;  // the odd last byte of a UTF-16LE file, kept aside
};

// `existing` is false for a file that is not there yet: it is written in the
// code page.
ProfileBytes openProfileBytes(std::string_view bytes, bool existing, const platform::CodePage& cp);

// The file's bytes again; nullopt when the text cannot go back into the
// file's encoding.
std::optional<std::string> closeProfileBytes(const ProfileBytes& file);

// The code page in which the text of `file` is scanned, decoded and encoded.
const platform::CodePage& scanCodePage(const ProfileBytes& file, const platform::CodePage& cp);

// The name of the encoding, for messages.
std::string encodingName(FileEncoding encoding, const platform::CodePage& cp);

// UTF-16LE code units to UTF-8; a lone surrogate becomes its own three-byte
// form, so that every sequence of units comes back unchanged.
std::string utf16LeToUtf8(std::string_view units);
// The reverse; nullopt for bytes that are not such a form.
std::optional<std::string> utf8ToUtf16Le(std::string_view text);

}  // namespace brim::core
