// The profile engine: setting a key changes at most one line's worth of bytes
// (or adds lines), the value reads back as it was given (blanks around it
// trimmed, unless it is kept inside quotation marks), and no other key
// changes. A UTF-16LE file comes back unchanged through its UTF-8 form.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ProfileEncoding.h"
#include "core/ProfileText.h"
#include "platform/posix/IconvCodePage.h"

namespace {

const brim::platform::IconvCodePage& codePage() {
    static const brim::platform::IconvCodePage cp("CP932");
    return cp;
}

constexpr std::string_view kSections[] = {"InternetShortcut", "CommentKey", "S", "\x95\x5C"};
constexpr std::string_view kKeys[] = {"URL", "Words", "k", "W0"};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view section = kSections[data[0] % 4];
    const std::string_view key = kKeys[(data[0] >> 2) % 4];
    std::size_t valueLength = data[1] % 16;
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    valueLength = std::min(valueLength, rest.size());
    std::string value(rest.substr(0, valueLength));
    const std::string_view text = rest.substr(valueLength);
    // Values as the program writes them: one line, no NUL.
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    const auto& cp = codePage();
    const std::string updated = brim::core::setProfileValue(text, section, key, value, cp);

    const auto found = brim::core::findProfileValue(updated, section, key, cp);
    if (!found) __builtin_trap();
    // Blanks around a value are lost, but not inside the marks that keep a
    // quoted value whole.
    const std::string_view trimmed = trim(value);
    const bool quoted = trimmed.size() >= 2 &&
                        (trimmed.front() == '"' || trimmed.front() == '\'') &&
                        trimmed.back() == trimmed.front();
    if (*found != (quoted ? std::string_view(value) : trimmed)) __builtin_trap();

    // Any run of UTF-16 units survives the way through UTF-8 and back.
    const std::string_view units = text.substr(0, text.size() & ~std::size_t{1});
    const auto back = brim::core::utf8ToUtf16Le(brim::core::utf16LeToUtf8(units));
    if (!back || *back != units) __builtin_trap();

    for (const auto s : kSections) {
        for (const auto k : kKeys) {
            if (s == section && k == key) continue;
            if (brim::core::findProfileValue(text, s, k, cp) !=
                brim::core::findProfileValue(updated, s, k, cp)) {
                // Another key may only change when it is the same name in
                // another letter case.
                if (!(s.size() == section.size() && k.size() == key.size())) __builtin_trap();
            }
        }
    }

    // Outside one changed stretch, which holds no line break of the old
    // text, every byte of the old text stays.
    std::size_t p = 0;
    while (p < text.size() && p < updated.size() && text[p] == updated[p])
        ++p;
    std::size_t q = 0;
    while (q < text.size() - p && q < updated.size() - p &&
           text[text.size() - 1 - q] == updated[updated.size() - 1 - q]) {
        ++q;
    }
    const std::string_view removed = text.substr(p, text.size() - p - q);
    if (removed.find_first_of("\r\n") != std::string_view::npos) __builtin_trap();
    return 0;
}
