#pragma once

namespace brim::platform {

// The system's Unicode upper-case mapping of one character, used to fold text
// for searching.
class CaseMapper {
  public:
    virtual ~CaseMapper() = default;
    virtual char32_t upper(char32_t c) const = 0;
};

}  // namespace brim::platform
