#include "ui/Form6.h"

#include <QLabel>
#include <QPushButton>

#include "ui/Layout.h"

namespace brim::ui {

Form6::Form6(const QString& mainTitle, const QIcon& icon, platform::Opener& opener,
             Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), opener_(opener), dialogs_(dialogs) {
    setObjectName("Form6");
    setWindowTitle(QStringLiteral("Brimmark - 私のお気に入り"));
    setFixedSize(twipsToPixels(QSize(5400, 2400)));
    QFont bold = font();
    bold.setPointSize(9);
    bold.setBold(true);
    Image1 = new QLabel;
    Image1->setPixmap(icon.pixmap(32, 32));
    place(Image1, this, "Image1", {240, 240, 600, 600});
    Label1 = new QLabel(mainTitle);
    place(Label1, this, "Label1", {1080, 240, 4080, 375});
    Label3 = new QLabel(QStringLiteral("mail: %1").arg(kMail));
    place(Label3, this, "Label3", {1080, 720, 4080, 375});
    Label2 = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kHomePage));
    place(Label2, this, "Label2", {1080, 1140, 4080, 375});
    for (QLabel* label : {Label1, Label2, Label3})
        label->setFont(bold);
    // The link is opened by the program's own opener, like every address.
    Label2->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(Label2, &QLabel::linkActivated, this, &Form6::Label2_Click);
    Command1 = new QPushButton("OK");
    place(Command1, this, "Command1", {4080, 1680, 1095, 495});
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
}

void Form6::Label2_Click() {
    const std::string failure = opener_.open(kHomePage);
    if (!failure.empty()) {
        dialogs_.message(this, QStringLiteral("ブラウザを開けませんでした。\n") +
                                   QString::fromStdString(failure));
    }
    hide();
}

void Form6::Command1_Click() {
    hide();
}

}  // namespace brim::ui
