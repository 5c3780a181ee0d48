#pragma once
// The reasons a message box gives, in the window's language.

#include <exception>
#include <string>

#include "core/Profile.h"
#include "core/Walk.h"
#include "platform/FileSystem.h"

namespace brim::app {

std::string reasonText(const platform::IoResult& io);
std::string reasonText(const core::WriteStatus& status);

// The menu item that renames names in the code page to UTF-8.
inline constexpr const char* kFixNamesCaption = "ファイル名をUTF-8に変換";

// Why a fill ended before its list was whole: `reason` is what the walk threw.
std::string fillFailedText(const std::exception_ptr& reason);

// What a fill says of the names it showed other than as they lie on disk;
// empty when there were none.
std::string shownNamesText(const core::ShownNameCount::Counts& counts, const std::string& codePage);

}  // namespace brim::app
