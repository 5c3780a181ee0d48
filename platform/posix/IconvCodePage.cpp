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

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// A descriptor borrowed for one conversion.
template <typename Pool>
class Lease {
  public:
    explicit Lease(Pool& pool) : pool_(pool), cd_(pool.take()) {}
    ~Lease() {
        if (cd_ != kNoDescriptor) pool_.give(cd_);
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    explicit operator bool() const { return cd_ != kNoDescriptor; }
    iconv_t get() const { return cd_; }

  private:
    Pool& pool_;
    iconv_t cd_;
};

}  // namespace

IconvCodePage::Pool::~Pool() {
    for (const iconv_t cd : free_)
        iconv_close(cd);
}

iconv_t IconvCodePage::Pool::take() {
    {
        const std::lock_guard lock(mutex_);
        if (!free_.empty()) {
            const iconv_t cd = free_.back();
            free_.pop_back();
            return cd;
        }
    }
    return iconv_open(to_.c_str(), from_.c_str());
}

void IconvCodePage::Pool::give(iconv_t cd) {
    const std::lock_guard lock(mutex_);
    free_.push_back(cd);
}

IconvCodePage::IconvCodePage(std::string name)
    : name_(std::move(name)),
      toUtf8_(std::make_unique<Pool>("UTF-8", name_)),
      fromUtf8_(std::make_unique<Pool>(name_, "UTF-8")) {
    const Lease toUtf8(*toUtf8_);
    const Lease fromUtf8(*fromUtf8_);
    if (!toUtf8 || !fromUtf8) throw std::runtime_error("unknown code page: " + name_);
    // Plain ASCII text needs no conversion when the code page keeps it as is,
    // which spares iconv for nearly every key and most values.
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    std::string_view in = ascii;
    std::string out;
    asciiCompatible_ = convert(toUtf8.get(), in, out) == Outcome::Done && out == ascii;
    // A byte that iconv finds incomplete on its own starts a two-byte character.
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        std::string_view one(&byte, 1);
        std::string ignored;
        leadBytes_[b] = convert(toUtf8.get(), one, ignored) == Outcome::Incomplete;
    }
}

IconvCodePage::~IconvCodePage() = default;

std::string IconvCodePage::decode(std::string_view bytes) const {
    if (asciiCompatible_ && isAscii(bytes)) return std::string(bytes);
    const Lease cd(*toUtf8_);
    if (!cd) return std::string(kReplacement);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        const Outcome o = convert(cd.get(), bytes, out);
        if (o == Outcome::Done) break;
        out += kReplacement;
        if (o == Outcome::Incomplete) break;
        bytes.remove_prefix(1);
    }
    return out;
}

std::optional<std::string> IconvCodePage::encode(std::string_view utf8) const {
    if (asciiCompatible_ && isAscii(utf8)) return std::string(utf8);
    const Lease cd(*fromUtf8_);
    std::string out;
    if (!cd || convert(cd.get(), utf8, out) != Outcome::Done) return std::nullopt;
    return out;
}

bool IconvCodePage::isValid(std::string_view bytes) const {
    if (asciiCompatible_ && isAscii(bytes)) return true;
    const Lease cd(*toUtf8_);
    std::string ignored;
    return cd && convert(cd.get(), bytes, ignored) == Outcome::Done;
}

std::string defaultCodePageName() {
    const char* env = std::getenv("BRIMMARK_CODEPAGE");
    return env && *env ? env : "CP932";
}

}  // namespace brim::platform
