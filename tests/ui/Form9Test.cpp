// Drives the link check dialog offscreen over a real window, against a web
// server of the test's own on the loopback: the bar and counts as answers
// come, Esc stopping a running check, then closing the dialog.

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "LinkServer.h"
#include "TestSupport.h"
#include "app/Prompts.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "ui/Form1.h"
#include "ui/Form9LinkCheck.h"

using brim::ui::Form1;
using brim::ui::Form9;
using namespace std::chrono_literals;

namespace {

struct NoOpener final : brim::platform::Opener {
    std::string open(const std::string&) override { return {}; }
};
struct NoPages final : brim::platform::PageSource {
    std::vector<brim::platform::BrowserPage> openPages() override { return {}; }
};

struct Harness {
    brim::test::LinkServer server{{{"/fast", brim::test::status(200)},
                                   {"/slow", brim::test::slow(3s)},
                                   {"/gone", brim::test::status(404)}}};
    brim::test::TempDir dir;
    brim::test::TestFolders folders{dir};
    brim::platform::PosixFileSystem fs;
    brim::platform::IconvCodePage cp{"CP932"};
    brim::platform::LocaleCaseMapper caseMapper;
    NoOpener opener;
    NoPages pages;
    brim::platform::FreedesktopTrash trash{dir / "home/.local/share"};
    brim::platform::DesktopEntryShortcuts shortcuts{fs, folders.programFolder()};
    brim::test::NoBrowsers browsers;
    brim::app::ScriptedPrompts prompts;
    std::string root = folders.favorites();
    std::unique_ptr<Form1> form;

    // A window listing a favorite for each of `paths`.
    explicit Harness(const std::vector<std::string>& paths) {
        for (const auto& p : paths)
            brim::test::writeShortcut(root + p.substr(1) + ".url", server.base() + p);
        form = std::make_unique<Form1>(brim::app::Services{fs, cp, folders, caseMapper, opener,
                                                           pages, trash, shortcuts, browsers},
                                       prompts);
        form->startUp({});
        form->rules().allFile();
    }
    // False when the list is not whole within a minute.
    bool filled() {
        return QTest::qWaitFor([this] { return !form->rules().isFilling(); }, 60000);
    }
    ~Harness() {
        form.reset();
        server.stop();
    }
    QString cell(int row, int column) {
        const QAbstractItemModel* m = form->findChild<QTreeView*>("ListView1")->model();
        return m->index(row, column).data().toString();
    }
    int columns() { return form->findChild<QTreeView*>("ListView1")->model()->columnCount(); }
};

}  // namespace

class Form9Test : public QObject {
    Q_OBJECT
  private slots:
    void aWholeCheckShowsItsCountsAndTheColumn() {
        Harness h({"/fast", "/gone"});
        QVERIFY(h.filled());
        QCOMPARE(h.columns(), 3);
        auto* form = new Form9(h.form->rules(), h.form.get());
        form->show();
        QVERIFY(form->Label1->text().contains(QStringLiteral("2 件")));
        QVERIFY(QTest::qWaitFor([&] { return !h.form->rules().isCheckingLinks(); }, 60000));
        QCOMPARE(form->ProgressBar1->maximum(), 2);
        QCOMPARE(form->ProgressBar1->value(), 2);
        QCOMPARE(form->Label2->text(), QStringLiteral("正常 1 件　リンク切れ 1 件"));
        QVERIFY(!form->Command1->isEnabled());
        QCOMPARE(h.columns(), 4);
        QStringList cells{h.cell(0, 3), h.cell(1, 3)};
        cells.sort();
        QCOMPARE(cells, (QStringList{QStringLiteral("リンク切れ"), QStringLiteral("正常")}));
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        delete form;
    }

    void escStopsARunningCheckThenCloses() {
        Harness h({"/fast", "/slow"});
        QVERIFY(h.filled());
        auto* form = new Form9(h.form->rules(), h.form.get());
        form->show();
        QVERIFY(form->Command1->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return form->ProgressBar1->value() == 1; }, 60000));
        QTest::keyClick(form, Qt::Key_Escape);
        // The slow page answers in seconds; a stop ends the check well before.
        QVERIFY(QTest::qWaitFor([&] { return !h.form->rules().isCheckingLinks(); }, 10000));
        QVERIFY(form->isVisible());
        QVERIFY(!form->Command1->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("正常 1 件（中止）"));
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY(!form->isVisible());
        delete form;
    }

    // The choice below the counts: off and 30 days at first; a word for the
    // days starts nothing; 再確認 with a day takes none of those just checked,
    // and the next dialog shows the choice again.
    void theDaysChoiceAndRecheck() {
        Harness h({"/fast", "/gone"});
        QVERIFY(h.filled());
        auto* form = new Form9(h.form->rules(), h.form.get());
        form->show();
        QVERIFY(!form->Command3->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return !h.form->rules().isCheckingLinks(); }, 60000));
        QVERIFY(form->Command3->isEnabled());
        QVERIFY(!form->Check1->isChecked());
        QCOMPARE(form->Text1->text(), QStringLiteral("30"));
        const auto asked = h.server.hits().size();
        const struct {
            const char* days;
            QString counts;
        } cases[] = {
            {"soon", QStringLiteral("日数には 0 より大きい数を入れてください。")},
            {"1", QStringLiteral("前回の結果 2 件")},
        };
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QVERIFY(form->Check1->isChecked());
        for (const auto& c : cases) {
            form->Text1->setText(QString::fromUtf8(c.days));
            QTest::mouseClick(form->Command3, Qt::LeftButton);
            QVERIFY(QTest::qWaitFor([&] { return !h.form->rules().isCheckingLinks(); }, 60000));
            QCOMPARE(form->Label2->text(), c.counts);
            QCOMPARE(h.server.hits().size(), asked);
        }
        QVERIFY(form->Label1->text().contains(QStringLiteral("前回の確認から 1 日以上")));
        delete form;
        auto* next = new Form9(h.form->rules(), h.form.get());
        QVERIFY(next->Check1->isChecked());
        QCOMPARE(next->Text1->text(), QStringLiteral("1"));
        delete next;
    }

    // Tab goes down the choice's line, then along the buttons.
    void theTabOrderTakesTheChoiceFirst() {
        Harness h({"/fast"});
        QVERIFY(h.filled());
        Form9 form(h.form->rules(), h.form.get());
        QStringList order;
        QWidget* w = form.Check1;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &form) order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != form.Check1 && order.size() < 20);
        QCOMPARE(order, (QStringList{"Check1", "Text1", "Command3", "Command1", "Command2"}));
        QVERIFY(QTest::qWaitFor([&] { return !h.form->rules().isCheckingLinks(); }, 60000));
    }

    void theWindowMayGoWhileACheckRuns() {
        Harness h({"/fast", "/slow"});
        QVERIFY(h.filled());
        auto* form = new Form9(h.form->rules(), h.form.get());
        form->show();
        QVERIFY(h.form->rules().isCheckingLinks());
        QPointer<Form9> watched(form);
        // The dialog goes while the window is whole: its rules tell the
        // window's, which go with the window's own parts.
        QPointer<QTreeView> list(h.form->findChild<QTreeView*>("ListView1"));
        bool windowWhole = false;
        QObject::connect(form, &QObject::destroyed, [&] { windowWhole = !list.isNull(); });
        h.form.reset();
        QVERIFY(watched.isNull());
        QVERIFY(windowWhole);
    }
};

QTEST_MAIN(Form9Test)
#include "Form9Test.moc"
