#include "platform/posix/IconvCodePage.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace brim::platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

enum class Outcome { Done, Invalid, Incomplete };

// Runs one conversion, appending to `out`; `in` is advanced past what was used.
Outcome convert(iconv_t cd, std::string_view& in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    for (;;) {
        const std::size_t start = out.size();
        const std::size_t room = srcLeft * 4 + 16;
        out.resize(start + room);
        char* dst = out.data() + start;
        std::size_t dstLeft = room;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const int e = errno;
        out.resize(out.size() - dstLeft);
        in = std::string_view(src, srcLeft);
        if (r != static_cast<std::size_t>(-1)) {
            // Flush any shift state.
            std::size_t tailRoom = 16;
            const std::size_t at = out.size();
            out.resize(at + tailRoom);
            char* tail = out.data() + at;
            iconv(cd, nullptr, nullptr, &tail, &tailRoom);
            out.resize(out.size() - tailRoom);
            return Outcome::Done;
        }
        if (e == E2BIG) continue;
        return e == EINVAL ? Outcome::Incomplete : Outcome::Invalid;
    }
}

bool isAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

IconvCodePage::IconvCodePage(std::string name) : name_(std::move(name)) {
    toUtf8_ = iconv_open("UTF-8", name_.c_str());
    fromUtf8_ = iconv_open(name_.c_str(), "UTF-8");
    if (toUtf8_ == reinterpret_cast<iconv_t>(-1) || fromUtf8_ == reinterpret_cast<iconv_t>(-1)) {
        if (toUtf8_ != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf8_);
        if (fromUtf8_ != reinterpret_cast<iconv_t>(-1)) iconv_close(fromUtf8_);
        throw std::runtime_error("unknown code page: " + name_);
    }
    // Plain ASCII text needs no conversion when the code page keeps it as is,
    // which spares iconv for nearly every key and most values.
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    std::string_view in = ascii;
    std::string out;
    asciiCompatible_ = convert(toUtf8_, in, out) == Outcome::Done && out == ascii;
    // A byte that iconv finds incomplete on its own starts a two-byte character.
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        std::string_view one(&byte, 1);
        std::string ignored;
        leadBytes_[b] = convert(toUtf8_, one, ignored) == Outcome::Incomplete;
    }
}

IconvCodePage::~IconvCodePage() {
    iconv_close(toUtf8_);
    iconv_close(fromUtf8_);
}

std::string IconvCodePage::decode(std::string_view bytes) const {
    if (asciiCompatible_ && isAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        const Outcome o = convert(toUtf8_, bytes, out);
        if (o == Outcome::Done) break;
        out += kReplacement;
        if (o == Outcome::Incomplete) break;
        bytes.remove_prefix(1);
    }
    return out;
}

std::optional<std::string> IconvCodePage::encode(std::string_view utf8) const {
    if (asciiCompatible_ && isAscii(utf8)) return std::string(utf8);
    std::string out;
    if (convert(fromUtf8_, utf8, out) != Outcome::Done) return std::nullopt;
    return out;
}

bool IconvCodePage::isValid(std::string_view bytes) const {
    if (asciiCompatible_ && isAscii(bytes)) return true;
    std::string ignored;
    return convert(toUtf8_, bytes, ignored) == Outcome::Done;
}

std::string defaultCodePageName() {
    const char* env = std::getenv("BRIMMARK_CODEPAGE");
    return env && *env ? env : "CP932";
}

}  // namespace brim::platform
