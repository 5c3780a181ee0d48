#include "win/WindowServices.h"

namespace brim::win {

std::unique_ptr<platform::Services> makeWindowServices() {
    return platform::makeSystemServices();
}

}  // namespace brim::win
