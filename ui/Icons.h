#pragma once
// Small icons of the main window's buttons, drawn rather than shipped.

#include <QIcon>

#include "app/FormTable.h"

namespace brim::ui {

using IconKind = app::Icon;

// A 16 × 16 icon (13 × 13 for `small`).
QIcon makeIcon(IconKind kind, bool small = false);

// The program's own icon, the one its desktop entry shows.
QIcon programIcon();

}  // namespace brim::ui
