#include "ui/CheckBox.h"

#include <QCheckBox>

#include "ui/Layout.h"

namespace brim::ui {

int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

void setCheckValue(QCheckBox* box, int value) {
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

QCheckBox* makeCheckBox(const QString& text, QWidget* parent, const char* name, QRect twips,
                        bool checked) {
    auto* box = new QCheckBox(text);
    place(box, parent, name, twips);
    box->setChecked(checked);
    QObject::connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    return box;
}

}  // namespace brim::ui
