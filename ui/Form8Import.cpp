#include "ui/Form8Import.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "core/Opening.h"
#include "core/import/Bookmarks.h"
#include "ui/Layout.h"

namespace brim::ui {
namespace {

using core::import::Source;

constexpr Source kSources[] = {Source::Firefox, Source::Chromium, Source::Chrome, Source::Netscape};

QString q(const std::string& s) {
    return QString::fromStdString(core::VisibleControls(s));
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect twips) {
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    place(l, parent, name, twips);
    return l;
}

}  // namespace

Form8::Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
             app::Prompts& prompts, QWidget* parent)
    : QDialog(parent), catalog_(catalog), browsers_(browsers), prompts_(prompts) {
    setObjectName("Form8");
    useDialogFont(this);
    setWindowTitle(QStringLiteral("ブラウザからインポート"));
    setFixedSize(twipsToPixels(QSize(5400, 3900)));
    label(this, "Label1", QStringLiteral("取り込み元："), {240, 240, 1200, 255});
    Combo1 = new QComboBox;
    Combo1->addItems(
        {"Firefox", "Chromium", "Google Chrome", QStringLiteral("ブックマークファイル (HTML)")});
    place(Combo1, this, "Combo1", {1440, 200, 3600, 300});
    label(this, "Label2", QStringLiteral("ファイル："), {240, 720, 1200, 255});
    Text1 = new QLineEdit;
    Text1->setPlaceholderText(QStringLiteral("空欄ならブラウザの既定のプロファイル"));
    place(Text1, this, "Text1", {1440, 680, 2880, 300});
    Command3 = new QPushButton(QStringLiteral("参照…"));
    place(Command3, this, "Command3", {4380, 660, 660, 340});
    label(this, "Label3", QStringLiteral("取り込み先 フォルダ："), {240, 1160, 1200, 375});
    Text2 = new QLineEdit;
    place(Text2, this, "Text2", {1440, 1160, 3600, 300});
    ProgressBar1 = new QProgressBar;
    place(ProgressBar1, this, "ProgressBar1", {240, 1680, 4800, 300});
    Label4 = label(this, "Label4", {}, {240, 2100, 4800, 900});
    Command1 = new QPushButton(QStringLiteral("インポート"));
    place(Command1, this, "Command1", {2400, 3120, 1200, 495});
    Command2 = new QPushButton(QStringLiteral("閉じる"));
    place(Command2, this, "Command2", {3720, 3120, 1200, 495});

    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form8::proposeFolder);
    connect(Text1, &QLineEdit::textEdited, this, &Form8::proposeFolder);
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::hide);
    connect(Command3, &QPushButton::clicked, this, &Form8::Command3_Click);
    proposeFolder();
}

Source Form8::source() const {
    return kSources[std::clamp(Combo1->currentIndex(), 0, 3)];
}

void Form8::proposeFolder() {
    const QString next = "\\" +
                         QString::fromStdString(core::import::DefaultFolderName(
                             source(), Text1->text().toStdString())) +
                         "\\";
    if (Text2->text().isEmpty() || Text2->text() == proposed_) Text2->setText(next);
    proposed_ = next;
}

void Form8::Command3_Click() {
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("ブックマークファイル"));
    if (file.isEmpty()) return;
    Text1->setText(file);
    proposeFolder();
}

void Form8::Command1_Click() {
    const core::import::Located located = core::import::LocateBookmarks(
        source(), catalog_.fileSystem(), browsers_, {}, Text1->text().toStdString());
    if (located.file.empty()) {
        prompts_.message(QStringLiteral("ブックマークが見つかりませんでした。\n%1")
                             .arg(q(located.error))
                             .toStdString());
        return;
    }
    const core::import::ReadResult read =
        core::import::ReadBookmarks(source(), catalog_.fileSystem(), located.file);
    if (!read.tree) {
        prompts_.message(
            QStringLiteral("ブックマークを読み込めませんでした。何も取り込んでいません。\n%1")
                .arg(q(read.error))
                .toStdString());
        return;
    }
    ProgressBar1->setRange(0, static_cast<int>(read.tree->count()));
    ProgressBar1->setValue(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const core::import::ImportSummary s = core::import::ImportBookmarks(
        catalog_, *read.tree, Text2->text().toStdString(), false, [this](std::size_t done) {
            ProgressBar1->setValue(static_cast<int>(done));
            if (done % 100 == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    QApplication::restoreOverrideCursor();
    QString text =
        QStringLiteral("取り込み: %1 件　重複のため省略: %2 件　取り込めなかったもの: %3 件")
            .arg(s.imported)
            .arg(s.duplicates)
            .arg(s.refused.size());
    for (std::size_t i = 0; i < s.refused.size() && i < 5; ++i) {
        text += "\n" + q(s.refused[i].path) + "（" + q(s.refused[i].reason) + "）";
    }
    if (s.refused.size() > 5) text += QStringLiteral("\nほか %1 件").arg(s.refused.size() - 5);
    Label4->setText(text);
}

}  // namespace brim::ui
