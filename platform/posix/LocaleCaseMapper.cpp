#include "platform/posix/LocaleCaseMapper.h"

#include <wctype.h>

namespace brim::platform {

LocaleCaseMapper::LocaleCaseMapper() {
    locale_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
}

LocaleCaseMapper::~LocaleCaseMapper() {
    if (locale_) freelocale(locale_);
}

char32_t LocaleCaseMapper::upper(char32_t c) const {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 32 : c;
    if (!locale_) return c;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale_));
}

}  // namespace brim::platform
