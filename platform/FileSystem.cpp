#include "platform/FileSystem.h"

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

std::unique_ptr<NewFiles> FileSystem::newFilesIn(const std::string& folder) {
    return std::make_unique<OneByOne>(*this, folder);
}

}  // namespace brim::platform
