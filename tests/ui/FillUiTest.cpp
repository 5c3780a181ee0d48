// The window while a slow fill runs: it keeps taking input, shows the busy
// pointer, Esc stops the fill, and a new search replaces it. Slowness comes
// from a file held at a gate, never from a clock.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <random>
#include <thread>

#include "GatedFileSystem.h"
#include "TestSupport.h"
#include "app/Prompts.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "ui/Form1.h"

using brim::ui::Form1;

namespace {

struct NoOpener final : brim::platform::Opener {
    std::string open(const std::string&) override { return {}; }
};
struct NoPages final : brim::platform::PageSource {
    std::vector<brim::platform::BrowserPage> openPages() override { return {}; }
};

// A window over a Favorites folder whose reads of one file wait at a gate:
// the top file, then folders A to E with two files each.
struct Harness {
    brim::test::TempDir dir;
    brim::test::TestFolders folders{dir};
    brim::platform::PosixFileSystem real;
    brim::test::GatedFileSystem fs{real};
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

    Harness() {
        // The walks are held at reads, which a cache that vouches for a file spares.
        brim::test::writeFile(folders.settingsFile(), "[rowcache]\r\nvalue= 10\r\n");
        brim::test::writeShortcut(root + "top.url", "http://top/");
        for (const char* f : {"A", "B", "C", "D", "E"}) {
            for (const char* n : {"1", "2"}) {
                const std::string name = std::string(f) + n;
                brim::test::writeShortcut(root + f + "/" + name + ".url", "http://" + name + "/");
            }
        }
    }
    ~Harness() {
        fs.open();
        form.reset();  // waits for the walks, which the open gate lets end
    }
    // Starts the window with the reads of `held` waiting at the gate.
    Form1& startHeldAt(const std::string& held) {
        fs.close(held);
        form = std::make_unique<Form1>(brim::app::Services{fs, cp, folders, caseMapper, opener,
                                                           pages, trash, shortcuts, browsers},
                                       prompts);
        form->startUp({});
        // A gate no read reaches fails the test rather than hanging it.
        QTest::qVerify(fs.waitUntilHeld(), "fs.waitUntilHeld()", held.c_str(), __FILE__, __LINE__);
        return *form;
    }
    // Lets the event loop run until the fill has ended; false when it has
    // not within a minute.
    bool runUntilFilled() {
        return QTest::qWaitFor([this] { return !form->rules().isFilling(); }, 60000);
    }
    QComboBox* combo() { return form->findChild<QComboBox*>("Combo1"); }
    QString count() { return form->findChild<QLabel*>("Label7")->text(); }
    QStringList rowTexts() {
        const QAbstractItemModel* m = form->findChild<QTreeView*>("ListView1")->model();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString();
        return out;
    }
};

}  // namespace

class FillUiTest : public QObject {
    Q_OBJECT

  private slots:
    void windowTakesInputWhileAFillIsHeldAndEscStopsIt() {
        Harness h;
        Form1& f = h.startHeldAt("/C/C1.url");
        QVERIFY(f.isVisible());  // shown while the fill is held in a read
        QVERIFY(f.rules().isFilling());
        QCOMPARE(f.cursor().shape(), Qt::BusyCursor);
        // Keys reach the keyword box: the window's thread is not the walk's.
        h.combo()->setFocus();
        QTest::keyClicks(h.combo(), "abc");
        QCOMPARE(h.combo()->currentText(), QStringLiteral("abc"));
        QCoreApplication::processEvents();
        QVERIFY(f.rules().isFilling());

        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(h.combo(), Qt::Key_Escape);
        QVERIFY(!f.rules().isFilling());
        QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
        const QStringList shown = h.rowTexts();
        QCOMPARE(h.count(), QStringLiteral("ファイル数: %1").arg(shown.size()));
        QVERIFY(!shown.contains("C1.url"));
        QCOMPARE(h.combo()->currentText(), QStringLiteral("abc"));

        // The stopped walk ends once its read returns; its rows stay out.
        h.fs.open();
        f.rules().searchFile("");
        QVERIFY(h.runUntilFilled());
        QCOMPARE(h.rowTexts().size(), 11);
        QCOMPARE(h.count(), QStringLiteral("ファイル数: 11"));
    }

    void enterDuringAFillStartsTheNewSearchAlone() {
        Harness h;
        Form1& f = h.startHeldAt("/C/C1.url");
        h.combo()->setFocus();
        QTest::keyClicks(h.combo(), "A1");
        QTest::keyClick(h.combo(), Qt::Key_Return);
        QVERIFY(f.rules().isFilling());
        h.fs.open();
        QVERIFY(h.runUntilFilled());
        QCOMPARE(h.rowTexts(), QStringList({"A1.url"}));
        QCOMPARE(h.count(), QStringLiteral("ファイル数: 1"));
        QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    }

    void rowsArriveThroughTheEventLoopInWalkOrder() {
        Harness h;
        Form1& f = h.startHeldAt("/E/E2.url");
        h.fs.open();
        QVERIFY(h.runUntilFilled());
        QCOMPARE(h.rowTexts(),
                 QStringList({"top.url", "E1.url", "E2.url", "D1.url", "D2.url", "C1.url", "C2.url",
                              "B1.url", "B2.url", "A1.url", "A2.url"}));
        QCOMPARE(h.count(), QStringLiteral("ファイル数: 11"));
        QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    }

    // Hundreds of fills replaced, stopped and closed at random moments, on the
    // window's own pool: every window ends, and a fill left alone is whole.
    void fillsReplacedStoppedAndClosedAtRandomMomentsAllEnd() {
        Harness h;
        const QStringList every{"top.url", "E1.url", "E2.url", "D1.url", "D2.url", "C1.url",
                                "C2.url",  "B1.url", "B2.url", "A1.url", "A2.url"};
        const std::string held[] = {"/A/A1.url", "/C/C2.url", "/E/E1.url"};
        std::mt19937 random(1208);
        int fills = 0, whole = 0;
        for (int round = 0; round < 60; ++round) {
            const QByteArray where = "window " + QByteArray::number(round);
            Form1& f = h.startHeldAt(held[random() % 3]);
            ++fills;
            QString expected;  // the last search's text; null: every favorite
            for (unsigned steps = 1 + random() % 8; steps > 0; --steps) {
                switch (random() % 5) {
                    case 0:
                        QTest::keyClick(h.combo(), Qt::Key_Escape);
                        break;
                    case 1:
                        h.fs.open();
                        break;
                    case 2:
                        f.findChild<QToolButton*>("Command1")->click();  // Folder
                        expected = "folders";
                        ++fills;
                        break;
                    default:
                        expected = random() % 2 ? "A1" : "";
                        h.combo()->setEditText(expected);
                        QTest::keyClick(h.combo(), Qt::Key_Return);
                        ++fills;
                }
                QTest::qWait(static_cast<int>(random() % 15));
            }
            if (random() % 2) {
                std::thread opening([&h, wait = std::chrono::milliseconds(random() % 20)] {
                    std::this_thread::sleep_for(wait);
                    h.fs.open();
                });
                h.form.reset();  // closed whatever still runs
                opening.join();
                continue;
            }
            h.fs.open();
            QVERIFY2(h.runUntilFilled(), where);
            const QStringList rows = h.rowTexts();
            if (expected == "A1") {
                QVERIFY2(rows.isEmpty() || rows == QStringList({"A1.url"}), where);
            } else if (expected.isEmpty()) {
                QVERIFY2(rows == every.mid(0, rows.size()), where);  // Esc keeps a prefix
            }
            whole += rows.size() == (expected == "A1" ? 1 : expected.isEmpty() ? 11 : 6);
            h.form.reset();
        }
        QVERIFY(fills > 150);
        QVERIFY(whole > 0);
    }
};

QTEST_MAIN(FillUiTest)
#include "FillUiTest.moc"
