#include "platform/FileSystem.h"

#include <algorithm>

namespace brim::platform {
namespace {

class OneByOne final : public NewFiles {
  public:
    OneByOne(FileSystem& fs, std::string folder) : fs_(fs), folder_(std::move(folder)) {}
    IoResult create(const std::string& name, std::string_view bytes) override {
        return fs_.createNewFile(folder_ + name, bytes);
    }
    void finish() override {}

  private:
    FileSystem& fs_;
    std::string folder_;
};

}  // namespace

bool listsBefore(std::string_view a, std::string_view b) {
    const auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ua = upper(static_cast<unsigned char>(a[i]));
        const int ub = upper(static_cast<unsigned char>(b[i]));
        if (ua != ub) return ua < ub;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::unique_ptr<NewFiles> FileSystem::newFilesIn(const std::string& folder) {
    return std::make_unique<OneByOne>(*this, folder);
}

}  // namespace brim::platform
