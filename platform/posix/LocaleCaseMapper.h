#pragma once
#include <locale.h>

#include "platform/CaseMapper.h"

namespace brim::platform {

// Upper-case mapping from the C library's Unicode tables (C.UTF-8), whatever
// locale the user runs in; ASCII only when those tables are missing.
class LocaleCaseMapper final : public CaseMapper {
  public:
    LocaleCaseMapper();
    ~LocaleCaseMapper() override;
    LocaleCaseMapper(const LocaleCaseMapper&) = delete;
    LocaleCaseMapper& operator=(const LocaleCaseMapper&) = delete;
    char32_t upper(char32_t c) const override;

  private:
    locale_t locale_;
};

}  // namespace brim::platform
