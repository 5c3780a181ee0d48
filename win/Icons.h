#pragma once
// The small pictures on the main window's buttons, drawn for the window's DPI.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include "app/FormTable.h"

namespace brim::win {

using IconKind = app::Icon;

// An image list holding the one picture, `size` pixels square; the caller owns it.
HIMAGELIST makeIcon(IconKind kind, int size);

}  // namespace brim::win
