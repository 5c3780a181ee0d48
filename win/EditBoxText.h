#pragma once
// A multi-line edit box breaks its lines with CR LF; the rules break them
// with LF alone.

#include <string>
#include <string_view>

namespace brim::win {

// Every line break (CR LF, CR or LF) as the edit box shows one: CR LF.
inline std::string toEditBox(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The box's CR LF back to LF; nothing else changes.
inline std::string fromEditBox(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace brim::win
