#include "app/SystemServices.h"

#include "core/Sessions.h"

namespace brim::app {

std::unique_ptr<platform::Services> makeSystemServices() {
    auto s = platform::makePlatformServices();
    s->pages = std::make_unique<core::SessionPageSource>(*s->fs, platform::makeBrowserProfiles());
    return s;
}

}  // namespace brim::app
