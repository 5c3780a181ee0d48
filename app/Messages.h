#pragma once
// The reasons a message box gives, in the window's language.

#include <string>

#include "core/Profile.h"
#include "platform/FileSystem.h"

namespace brim::app {

std::string reasonText(const platform::IoResult& io);
std::string reasonText(const core::WriteStatus& status);

}  // namespace brim::app
