// The main window in Qt: Qt's own texts in Japanese, the message about a
// Favorites folder it cannot use, an enlarged window, the row of a saved
// favorite, the input box and the program's icon.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <filesystem>
#include <optional>

#include "Form1Harness.h"
#include "ui/Dialogs.h"
#include "ui/InputBox.h"
#include "ui/Translations.h"

using namespace brim::uitest;

namespace {

// What a dialog box shows when it appears: polled, since it blocks the caller.
struct BoxWatch {
    QString text;
    QStringList buttons;
    bool windowShown = false;

    explicit BoxWatch(QWidget* owner) {
        auto* timer = new QTimer(owner);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, owner] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            text = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            windowShown = owner->isVisible();
            box->accept();
            timer->stop();
        });
        timer->start(10);
    }
};

// The texts of the standard buttons a dialog box shows.
QStringList buttonTexts(const QList<QDialogButtonBox::StandardButton>& which) {
    QDialogButtonBox box;
    QStringList out;
    for (const auto b : which)
        out << box.addButton(b)->text();
    return out;
}

}  // namespace

class Form1FeedbackTest : public QObject {
    Q_OBJECT

  private slots:
    void qtTextsAreJapanese() {
        using B = QDialogButtonBox;
        const QList<B::StandardButton> buttons = {B::Yes,   B::No,      B::Cancel,
                                                  B::Close, B::Discard, B::Apply};
        const QStringList english = buttonTexts(buttons);
        QVERIFY(brim::ui::installJapaneseTranslations(*qApp));
        const QStringList japanese = buttonTexts(buttons);
        // The words Qt's own Japanese gives them, mnemonics aside.
        const QStringList words = {"はい", "いいえ", "キャンセル", "閉じる", "破棄", "適用"};
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            QVERIFY2(japanese[i] != english[i], qPrintable(english[i]));
            QVERIFY2(japanese[i].contains(words[i]), qPrintable(japanese[i]));
        }
        QCOMPARE(QLocale().language(), QLocale::Japanese);
        // Qt's own dialogs too, not only the buttons.
        QFileDialog files(nullptr);
        files.setOption(QFileDialog::DontUseNativeDialog);
        QStringList labels;
        for (const QLabel* l : files.findChildren<QLabel*>())
            labels << l->text();
        QVERIFY2(labels.join(' ').contains(QRegularExpression("[\\x{3040}-\\x{30ff}\\x{4e00}-"
                                                              "\\x{9fff}]")),
                 qPrintable(labels.join(' ')));
    }

    void missingFavoritesFolderIsToldInAMessageBox() {
        const struct {
            const char* what;
            bool makeFile;  // a file where the folder should be
            const char* problem;
        } cases[] = {
            {"missing", false, "が見つかりません。"},
            {"a file", true, "はフォルダではありません。"},
        };
        for (const auto& c : cases) {
            Harness h;
            const std::string folder = h.root.substr(0, h.root.size() - 1);
            std::filesystem::remove_all(folder);
            if (c.makeFile) brim::test::writeFile(folder, "x");
            brim::ui::QtPrompts dialogs;
            h.form = std::make_unique<Form1>(
                brim::app::Services{h.fs, h.cp, h.folders, h.caseMapper, h.opener, h.pages, h.trash,
                                    h.shortcuts, h.browsers},
                dialogs);
            dialogs.setParentWidget(h.form.get());
            BoxWatch watch(h.form.get());
            h.form->startUp({});
            QVERIFY2(watch.text.contains(QString::fromStdString(folder) + "」" + c.problem),
                     qPrintable(watch.text));
            QVERIFY(watch.text.contains("BRIMMARK_FAVORITES"));
            QVERIFY(watch.windowShown);  // over the window, not before it
            QCOMPARE(watch.buttons.size(), 1);
            QCOMPARE(h.count(), QStringLiteral("ファイル数: 0"));
        }
    }

    void anEnlargedWindowGrowsTheListAndTheEditBoxes() {
        const struct {
            const char* mode;
            QSize grow;
            QSize listGrows;  // the list's width and height
            int editWidens;   // the edit boxes' width
            int editsMove;    // the edit boxes and the buttons, downward
            bool shrinkable;  // below the layout's size
        } cases[] = {
            {" 3", {100, 60}, {100, 60}, 100, 60, false},
            {" 2", {40, 90}, {40, 90}, 40, 90, false},
            // The compact strip keeps its controls where they are.
            {" 1", {100, 60}, {0, 0}, 0, 0, true},
        };
        for (const auto& c : cases) {
            Harness h;
            h.setting("mmode", "value", c.mode);
            Form1& f = h.start();
            QTest::qWait(0);
            QWidget* edit = h.edit("Text4");
            QWidget* save = h.button("Command7");
            QWidget* exit = h.button("Command3");
            const QRect list0 = h.list()->geometry(), edit0 = edit->geometry(),
                        save0 = save->geometry(), exit0 = exit->geometry(),
                        combo0 = h.combo()->geometry();
            QCOMPARE(f.minimumSize().isValid() && f.minimumSize() == f.size(), !c.shrinkable);
            f.resize(f.size() + c.grow);
            QCOMPARE(h.list()->geometry(),
                     list0.adjusted(0, 0, c.listGrows.width(), c.listGrows.height()));
            QCOMPARE(edit->geometry(),
                     edit0.translated(0, c.editsMove).adjusted(0, 0, c.editWidens, 0));
            QCOMPARE(save->geometry(), save0.translated(c.editWidens, c.editsMove));
            QCOMPARE(exit->geometry(), exit0.translated(0, c.editsMove));
            QCOMPARE(h.combo()->geometry(), combo0);
            // The columns keep their share of the list's width: 2, 2 and 3 fifths.
            const int width = h.list()->width();
            for (const auto& [column, fifths] : {std::pair{0, 2}, {1, 2}, {2, 3}})
                QCOMPARE(h.list()->columnWidth(column), width * fifths / 5);
        }
    }

    void savedRowShowsItsNewCommentAndStaysSelected() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "古い");
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "そのまま");
        h.start();
        h.clickRow(0);
        h.child<QPlainTextEdit>("Text5")->setPlainText(QStringLiteral("新しい"));
        h.button("Command7")->click();
        QCOMPARE(h.rowTexts(2), QStringList({"新しい", "そのまま"}));
        QCOMPARE(h.list()->currentIndex().row(), 0);
        QVERIFY(h.list()->selectionModel()->isRowSelected(0, {}));
    }

    void theInputBoxGivesWhatWasTypedOrNothing() {
        const struct {
            const char* what;
            void (*answer)(brim::ui::InputBox&);
            std::optional<std::string> expected;
        } cases[] = {
            {"OK",
             [](brim::ui::InputBox& box) { box.findChild<QPushButton*>("Command1")->click(); },
             "新しい名前"},
            {"Enter", [](brim::ui::InputBox& box) { QTest::keyClick(box.Text1, Qt::Key_Return); },
             "新しい名前"},
            {"キャンセル",
             [](brim::ui::InputBox& box) { box.findChild<QPushButton*>("Command2")->click(); },
             std::nullopt},
            {"Esc", [](brim::ui::InputBox& box) { QTest::keyClick(box.Text1, Qt::Key_Escape); },
             std::nullopt},
        };
        for (const auto& c : cases) {
            QWidget owner;
            owner.show();
            brim::ui::QtPrompts prompts;
            prompts.setParentWidget(&owner);
            QString title, prompt, initial, selected;
            bool focused = false, promptAtTop = false;
            int waits = 0;
            QTimer timer;
            connect(&timer, &QTimer::timeout, &timer, [&] {
                auto* box = qobject_cast<brim::ui::InputBox*>(QApplication::activeModalWidget());
                if (!box) return;
                // A loaded machine gives the shown box its focus a little later.
                if (!box->Text1->hasFocus() && ++waits < 200) return;
                timer.stop();
                title = box->windowTitle();
                prompt = box->findChild<QLabel*>("Label1")->text();
                promptAtTop = box->findChild<QLabel*>("Label1")->alignment() & Qt::AlignTop;
                initial = box->Text1->text();
                selected = box->Text1->selectedText();
                focused = box->Text1->hasFocus();
                box->Text1->setText(QStringLiteral("新しい名前"));
                c.answer(*box);
            });
            timer.start(10);
            const auto answer =
                prompts.input("Input HTML-file name",
                              "保存するHTMLファイルの名前を入力してください", "お気に入り一覧");
            QVERIFY2(answer == c.expected, c.what);
            QCOMPARE(title, QStringLiteral("Input HTML-file name"));
            QCOMPARE(prompt, QStringLiteral("保存するHTMLファイルの名前を入力してください"));
            // The proposed name is there, chosen whole, for typing over.
            QCOMPARE(initial, QStringLiteral("お気に入り一覧"));
            QCOMPARE(selected, initial);
            QVERIFY2(focused, c.what);
            // As the Windows box has it, not halfway down its place.
            QVERIFY(promptAtTop);
        }
    }

    void windowHasTheProgramIcon() {
        Harness h;
        Form1& f = h.start();
        const QIcon icon = f.windowIcon();
        QVERIFY(!icon.isNull());
        // Built from the program's own drawing, in the sizes panels ask for.
        QVERIFY(icon.availableSizes().contains(QSize(48, 48)));
        const QImage picture = icon.pixmap(48, 48).toImage();
        QVERIFY(picture.pixelColor(24, 40).alpha() > 0);
    }
};

QTEST_MAIN(Form1FeedbackTest)
#include "Form1FeedbackTest.moc"
