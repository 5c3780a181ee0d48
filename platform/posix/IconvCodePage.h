#pragma once
#include <iconv.h>

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/CodePage.h"

namespace brim::platform {

// A code page served by iconv. Safe to use from several threads at once: an
// iconv descriptor keeps state, so each conversion borrows one of its own.
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
    // Descriptors of one direction, opened as more threads need them at once.
    class Pool {
      public:
        Pool(std::string to, std::string from) : to_(std::move(to)), from_(std::move(from)) {}
        ~Pool();
        Pool(const Pool&) = delete;
        Pool& operator=(const Pool&) = delete;
        // A free descriptor, or a new one; (iconv_t)-1 when iconv cannot open one.
        iconv_t take();
        void give(iconv_t cd);

      private:
        std::string to_, from_;
        std::mutex mutex_;
        std::vector<iconv_t> free_;
    };

    std::string name_;
    std::unique_ptr<Pool> toUtf8_;
    std::unique_ptr<Pool> fromUtf8_;
    bool asciiCompatible_ = false;
    std::array<bool, 256> leadBytes_{};
};

// The code page of profile files: $BRIMMARK_CODEPAGE, or CP932.
std::string defaultCodePageName();

}  // namespace brim::platform
