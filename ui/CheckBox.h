#pragma once
// Check boxes as the dialogs use them: values 0 (off), 1 (on) and 2 (grayed).

#include <QRect>
#include <QString>

class QCheckBox;
class QWidget;

namespace brim::ui {

int checkValue(const QCheckBox* box);
void setCheckValue(QCheckBox* box, int value);

// A check box placed at the form's twips with the form's starting value.
// A click turns it on or off; only a stored value can gray it.
QCheckBox* makeCheckBox(const QString& text, QWidget* parent, const char* name, QRect twips,
                        bool checked);

}  // namespace brim::ui
