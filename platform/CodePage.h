#pragma once
// Conversion between the program's UTF-8 text and the code page of the files.
// The walks read files on several threads at once: every implementation is
// safe to use from several threads at the same time.

#include <optional>
#include <string>
#include <string_view>

namespace brim::platform {

class CodePage {
  public:
    virtual ~CodePage() = default;

    // Decodes bytes of the code page; a byte sequence the code page does not
    // define becomes U+FFFD, so nothing read is silently dropped.
    virtual std::string decode(std::string_view bytes) const = 0;

    // Encodes UTF-8 text; nullopt when a character has no form in the code page.
    virtual std::optional<std::string> encode(std::string_view utf8) const = 0;

    // True when every byte sequence of `bytes` is a character of the code page.
    virtual bool isValid(std::string_view bytes) const = 0;

    // True when `byte` starts a two-byte character (a lead byte).
    virtual bool isLeadByte(unsigned char byte) const = 0;

    // The code page's name, for messages.
    virtual std::string name() const = 0;
};

}  // namespace brim::platform
