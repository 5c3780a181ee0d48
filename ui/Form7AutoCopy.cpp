#include "ui/Form7AutoCopy.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

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

Form7::Form7(app::AutoCopyDialog& autoCopy, QWidget* parent)
    : QDialog(parent), autoCopy_(autoCopy) {
    setObjectName("Form7");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("Auto Copyの設定"));
    setFixedSize(twipsToPixels(QSize(3705, 2205)));
    // The captions are long for the form's boxes: each wraps in a label
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
    QCheckBox* boxes[] = {
        box(QStringLiteral("IEがひとつの場合、自動的に取り込む"), "Check1", {240, 240, 3255, 375}),
        box(QStringLiteral("適合するブックマークがひとつしかない場合、自動的に取り込む"), "Check2",
            {240, 840, 3135, 375}),
    };
    for (int i = 0; i < 2; ++i) {
        QCheckBox* check = boxes[i];
        setCheckValue(check, autoCopy_.check(i + 1));
        connect(check, &QCheckBox::stateChanged, this,
                [this, check, i] { autoCopy_.setCheck(i + 1, checkValue(check)); });
    }
    auto* command1 = new QPushButton("OK");
    place(command1, this, "Command1", {2280, 1440, 735, 495});
    connect(command1, &QPushButton::clicked, this, [this] {
        autoCopy_.Command1_Click();
        hide();
    });
}

}  // namespace brim::ui
