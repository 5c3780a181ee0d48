#include "ui/Form7.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/Settings.h"
#include "ui/CheckBox.h"
#include "ui/Layout.h"

namespace brim::ui {
namespace {

// A label that works its check box when clicked.
class ClickLabel final : public QLabel {
  public:
    ClickLabel(const QString& text, QCheckBox* box) : QLabel(text), box_(box) {}

  protected:
    void mouseReleaseEvent(QMouseEvent*) override { box_->click(); }

  private:
    QCheckBox* box_;
};

}  // namespace

Form7::Form7(const core::Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setObjectName("Form7");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("Auto Copyの設定"));
    setFixedSize(twipsToPixels(QSize(3705, 2205)));
    // The captions are long for the design's boxes: each wraps in a label
    // beside its box, and a click on the label works the box.
    const auto box = [this](const QString& caption, const char* name, QRect twips) {
        QCheckBox* check =
            makeCheckBox({}, this, name, {twips.x(), twips.y(), 300, twips.height()}, true);
        auto* label = new ClickLabel(caption, check);
        label->setWordWrap(true);
        place(label, this, "",
              {twips.x() + 300, twips.y() - 60, twips.width(), twips.height() + 120});
        return check;
    };
    Check1 =
        box(QStringLiteral("IEがひとつの場合、自動的に取り込む"), "Check1", {240, 240, 3255, 375});
    Check2 = box(QStringLiteral("適合するブックマークがひとつしかない場合、自動的に取り込む"),
                 "Check2", {240, 840, 3135, 375});
    Command1 = new QPushButton("OK");
    place(Command1, this, "Command1", {2280, 1440, 735, 495});
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
}

void Form7::Command1_Click() {
    profile_.WriteSetting("AutoCopy", "IE", core::settings::CheckBoxSetting(checkValue(Check1)));
    profile_.WriteSetting("AutoCopy", "File", core::settings::CheckBoxSetting(checkValue(Check2)));
    hide();
}

}  // namespace brim::ui
