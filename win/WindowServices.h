#pragma once
// The system's services for the window, from platform/win32.

#include <memory>

#include "platform/Services.h"

namespace brim::win {

std::unique_ptr<platform::Services> makeWindowServices();

}  // namespace brim::win
