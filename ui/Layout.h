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

// How a control follows the window's client area when the user enlarges it
// beyond its layout: the list takes the room, what lies below it moves down,
// and the edit boxes take the width.
enum class Follow { Stays, Grows, MovesDown, MovesDownWidens, MovesDownRight };

// Where a control laid out in the form at `laidOut` (pixels) goes once the
// client area is `stretch` larger than the layout's.
inline QRect followed(QRect laidOut, Follow follow, QSize stretch) {
    switch (follow) {
        case Follow::Stays:
            break;
        case Follow::Grows:
            return laidOut.adjusted(0, 0, stretch.width(), stretch.height());
        case Follow::MovesDown:
            return laidOut.translated(0, stretch.height());
        case Follow::MovesDownWidens:
            return laidOut.translated(0, stretch.height()).adjusted(0, 0, stretch.width(), 0);
        case Follow::MovesDownRight:
            return laidOut.translated(stretch.width(), stretch.height());
    }
    return laidOut;
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
