#pragma once
// The forms are laid out in twips: 15 twips to a pixel.

#include <QRect>
#include <QSize>
#include <QWidget>

namespace brim::ui {

inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}
inline QSize twipsToPixels(QSize twips) {
    return twips / kTwipsPerPixel;
}

inline QRect twipsToPixels(QRect twips) {
    return {twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
            twipsToPixels(twips.height())};
}

// Puts `w` into `parent` at the form's left, top, width and height (twips).
inline void place(QWidget* w, QWidget* parent, const char* name, QRect twips) {
    w->setParent(parent);
    w->setObjectName(name);
    w->setGeometry(twipsToPixels(twips));
}

// The dialogs' controls are as small as the main window's: one face for all.
inline void useDialogFont(QWidget* dialog) {
    QFont f = dialog->font();
    f.setPixelSize(11);
    dialog->setFont(f);
}

}  // namespace brim::ui
