#pragma once
// The program's services put together: the platform's own and, over them,
// the open pages read from the browsers' session files.

#include <memory>

#include "platform/Services.h"

namespace brim::app {

// Every service of the system the program was built for, over the user's own
// folders. Throws std::runtime_error when the files' code page is unknown.
std::unique_ptr<platform::Services> makeSystemServices();

}  // namespace brim::app
