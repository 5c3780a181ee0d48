#pragma once
#include <iconv.h>

#include <array>

#include "platform/CodePage.h"

namespace brim::platform {

// A code page served by iconv. Not for use from several threads at once.
class IconvCodePage final : public CodePage {
  public:
    // Throws std::runtime_error when iconv does not know the code page.
    explicit IconvCodePage(std::string name);
    ~IconvCodePage() override;
    IconvCodePage(const IconvCodePage&) = delete;
    IconvCodePage& operator=(const IconvCodePage&) = delete;

    std::string decode(std::string_view bytes) const override;
    std::optional<std::string> encode(std::string_view utf8) const override;
    bool isValid(std::string_view bytes) const override;
    bool isLeadByte(unsigned char byte) const override { return leadBytes_[byte]; }
    std::string name() const override { return name_; }

  private:
    std::string name_;
    iconv_t toUtf8_;
    iconv_t fromUtf8_;
    bool asciiCompatible_ = false;
    std::array<bool, 256> leadBytes_{};
};

// The code page of profile files: $BRIMMARK_CODEPAGE, or CP932.
std::string defaultCodePageName();

}  // namespace brim::platform
