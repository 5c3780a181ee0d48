#include "ui/Form6About.h"

#include <QLabel>
#include <QPushButton>

#include "ui/Layout.h"

namespace brim::ui {

Form6::Form6(const QString& mainTitle, const QIcon& icon, app::Window& window, QWidget* parent)
    : QDialog(parent) {
    setObjectName("Form6");
    setWindowTitle(QStringLiteral("Brimmark - 私のお気に入り"));
    setFixedSize(twipsToPixels(QSize(5400, 2400)));
    QFont bold = font();
    bold.setPointSize(9);
    bold.setBold(true);
    auto* image1 = new QLabel;
    image1->setPixmap(icon.pixmap(32, 32));
    place(image1, this, "Image1", {240, 240, 600, 600});
    auto* label1 = new QLabel(mainTitle);
    place(label1, this, "Label1", {1080, 240, 4080, 375});
    auto* label3 = new QLabel(QStringLiteral("mail: %1").arg(app::kMail));
    place(label3, this, "Label3", {1080, 720, 4080, 375});
    auto* label2 = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(app::kHomePage));
    place(label2, this, "Label2", {1080, 1140, 4080, 375});
    for (QLabel* label : {label1, label2, label3})
        label->setFont(bold);
    // The link is opened by the program's own opener, like every address.
    label2->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(label2, &QLabel::linkActivated, this, [this, &window] {
        window.openHomePage();
        hide();
    });
    auto* command1 = new QPushButton("OK");
    place(command1, this, "Command1", {4080, 1680, 1095, 495});
    connect(command1, &QPushButton::clicked, this, &Form6::hide);
}

}  // namespace brim::ui
