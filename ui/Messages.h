#pragma once
// The reasons a message box gives, in the window's language.

#include <QString>

#include "core/Profile.h"
#include "platform/FileSystem.h"

namespace brim::ui {

QString reasonText(const platform::IoResult& io);
QString reasonText(const core::WriteStatus& status);

}  // namespace brim::ui
