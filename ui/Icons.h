#pragma once
// Small icons of the main window's buttons, drawn rather than shipped.

#include <QIcon>

namespace brim::ui {

enum class IconKind { Get, Same, Folder, Search, Open, Delete, Html, Exit, Save, Mode };

// A 16 × 16 icon (13 × 13 for `small`).
QIcon makeIcon(IconKind kind, bool small = false);

// The program's own icon, the one its desktop entry shows.
QIcon programIcon();

}  // namespace brim::ui
