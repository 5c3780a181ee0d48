// Drives the main window offscreen through its real controls.

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "TestSupport.h"
#include "core/Profile.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixFileSystem.h"
#include "ui/Form1.h"

using brim::ui::Form1;

namespace {

// One window over its own temporary Favorites folder and settings.
struct Harness {
    brim::test::TempDir dir;
    brim::test::TestFolders folders{dir};
    brim::platform::PosixFileSystem fs;
    brim::platform::IconvCodePage cp{"CP932"};
    brim::ui::ScriptedDialogs dialogs;
    brim::core::Profile profile{fs, cp, folders};
    std::string root = folders.favorites();
    std::unique_ptr<Form1> form;

    Harness() { brim::test::makeFolders(root); }

    Form1& start(const QString& argument = {}) {
        form = std::make_unique<Form1>(brim::ui::Services{fs, cp, folders, dialogs});
        form->startUp(argument);
        return *form;
    }
    void setting(std::string_view section, std::string_view key, std::string_view value) {
        QVERIFY(profile.WriteSetting(section, key, value));
    }
    std::string setting(std::string_view section, std::string_view key) {
        return profile.ReadSetting(section, key);
    }
};

QStringList rowTexts(Form1& f, int column = 0) {
    QStringList out;
    for (int r = 0; r < f.listModel().rowCount(); ++r) {
        out << f.listModel().row(r)[static_cast<std::size_t>(column)];
    }
    return out;
}

void clickRow(Form1& f, int row, bool twice = false) {
    QTreeView* view = f.ListView1;
    const QPoint at = view->visualRect(f.listModel().index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

void clickHeader(Form1& f, int column1) {
    QHeaderView* header = f.ListView1->header();
    const int x =
        header->sectionViewportPosition(column1 - 1) + header->sectionSize(column1 - 1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

bool onTop(Form1& f) {
    return f.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

  private slots:
    void startsWithoutSettingsInFullLayoutWithEveryFavorite() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "エー");
        brim::test::writeShortcut(h.root + "A/x.url", "http://x/");
        brim::test::writeShortcut(h.root + "B/y.url", "http://y/");
        Form1& f = h.start();
        QCOMPARE(f.windowTitle(), QStringLiteral("Brimmark - 私のお気に入り v1.3"));
        QCOMPARE(f.WinMode, 2);
        QCOMPARE(f.sizeTwips(), QSize(6270, 6615));
        QCOMPARE(f.positionTwips(), QPoint(0, 0));
        QCOMPARE(f.ListMode, 0);
        QCOMPARE(f.ItemCount, 3);
        QCOMPARE(f.Label7->text(), QStringLiteral("ファイル数: 3"));
        QCOMPARE(f.listModel().headers(), QStringList({"Name", "Folder", "Comment"}));
        QCOMPARE(rowTexts(f), QStringList({"a.url", "y.url", "x.url"}));
        QCOMPARE(rowTexts(f, 2), QStringList({"エー", "", ""}));
        QVERIFY(f.Command11->isHidden());
        QVERIFY(f.Timer1->isActive());
        QCOMPARE(f.Timer1->interval(), 3000);
        QVERIFY(f.everfront->isChecked());
        QVERIFY(!onTop(f));
    }

    void storedModeSetsTheLayout_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("goVisible");
        QTest::addColumn<bool>("menuEnabled");
        QTest::addColumn<bool>("topmost");
        QTest::newRow("1: compact") << " 1" << 0 << QSize(4140, 1245) << true << false << true;
        QTest::newRow("2: list") << " 2" << 1 << QSize(6270, 4335) << false << true << false;
        QTest::newRow("3: full") << " 3" << 2 << QSize(6270, 6615) << false << true << false;
        QTest::newRow("4: no layout") << " 4" << 3 << QSize(6270, 6615) << true << true << false;
    }
    void storedModeSetsTheLayout() {
        QFETCH(QString, stored);
        QFETCH(int, mode);
        QFETCH(QSize, size);
        QFETCH(bool, goVisible);
        QFETCH(bool, menuEnabled);
        QFETCH(bool, topmost);
        Harness h;
        h.setting("mmode", "value", stored.toStdString());
        Form1& f = h.start();
        QCOMPARE(f.WinMode, mode);
        QCOMPARE(f.sizeTwips(), size);
        QCOMPARE(!f.Command11->isHidden(), goVisible);
        QCOMPARE(f.savemenu->isEnabled(), menuEnabled);
        QCOMPARE(f.Mdelete->isEnabled(), menuEnabled);
        QCOMPARE(f.autoCP->isEnabled(), menuEnabled);
        QCOMPARE(onTop(f), topmost);
        QCOMPARE(f.Combo1->width() * 15, mode == 0 ? 2415 : mode <= 2 ? 2895 : 2295);
    }

    void modeButtonCyclesAndStoresEachStep() {
        Harness h;
        h.setting("mmode", "value", " 2");
        Form1& f = h.start();
        const QPoint corner = f.pos();
        const char* expected[] = {"3", "1", "2"};
        const QSize sizes[] = {{6270, 6615}, {4140, 1245}, {6270, 4335}};
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(f.Command10, Qt::LeftButton);
            QCOMPARE(h.setting("mmode", "value"), std::string(expected[i]));
            QCOMPARE(f.sizeTwips(), sizes[i]);
            QCOMPARE(f.pos(), corner);
        }
        QCOMPARE(f.WinMode, 1);
    }

    void outOfRangeModeMovesOnByTheSameRule() {
        Harness h;
        h.setting("mmode", "value", " 4");
        Form1& f = h.start();
        QTest::mouseClick(f.Command10, Qt::LeftButton);
        QCOMPARE(f.WinMode, 1);
        QCOMPARE(h.setting("mmode", "value"), std::string("2"));
    }

    void timerStoresThePositionOnlyAfterAMove() {
        Harness h;
        h.setting("Wposition", "x", " 1500");
        h.setting("Wposition", "y", " 600");
        Form1& f = h.start();
        QCOMPARE(f.pos(), QPoint(100, 40));
        h.setting("Wposition", "x", " 7");  // a write would put it back to 1500
        f.SaveWpos();
        QCOMPARE(h.setting("Wposition", "x"), std::string("7"));
        f.move(200, 80);
        QTRY_COMPARE_WITH_TIMEOUT(h.setting("Wposition", "x"), std::string("3000"), 5000);
        QCOMPARE(h.setting("Wposition", "y"), std::string("1200"));
        QVERIFY(brim::test::readFile(h.folders.settingsFile()).find("x= 3000\r\n") !=
                std::string::npos);
    }

    void unreachablePositionGoesToThePrimaryScreen() {
        Harness h;
        h.setting("Wposition", "x", "-300000");
        h.setting("Wposition", "y", " 900000");
        Form1& f = h.start();
        QCOMPARE(f.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }

    void clickOnAFavoriteFillsTheBoxes() {
        Harness h;
        brim::test::writeShortcut(h.root + "Links/News.url", "http://news.example/", "daily");
        brim::test::writeFile(h.root + "page.html", "<html></html>");
        Form1& f = h.start();
        QCOMPARE(rowTexts(f), QStringList({"page.html", "News.url"}));
        clickRow(f, 1);
        QCOMPARE(f.Text2->text(), QStringLiteral("\\Links\\"));
        QCOMPARE(f.Text6->text(), QStringLiteral("\\Links\\"));
        QCOMPARE(f.Text3->text(), QStringLiteral("News"));
        QCOMPARE(f.Text4->text(), QStringLiteral("http://news.example/"));
        QCOMPARE(f.Text5->toPlainText(), QStringLiteral("daily"));
        clickRow(f, 0);
        QCOMPARE(f.Text2->text(), QStringLiteral("\\"));
        QCOMPARE(f.Text3->text(), QStringLiteral("page.html"));
        QCOMPARE(f.Text4->text(), QString());
        QCOMPARE(f.Text5->toPlainText(), QString());
    }

    void clickBesideTheRowsChangesNothing() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        Form1& f = h.start();
        f.Text3->setText("kept");
        f.ListView1->clearSelection();
        QTest::mouseClick(f.ListView1->viewport(), Qt::LeftButton, {},
                          QPoint(5, f.ListView1->viewport()->height() - 3));
        QCOMPARE(f.Text3->text(), QStringLiteral("kept"));
    }

    void folderListAndClickOnAFolder() {
        Harness h;
        brim::test::makeFolders(h.root + "A/A1");
        brim::test::makeFolders(h.root + "B");
        brim::test::makeFolders(h.root + "Q\"uote");
        brim::test::makeFolders(h.root + ".hidden");
        Form1& f = h.start();
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        QCOMPARE(f.ListMode, 1);
        QCOMPARE(f.ItemCount, 0);
        QCOMPARE(f.FolderCount, 5);
        QCOMPARE(f.Label7->text(), QStringLiteral("フォルダ数: 5"));
        QCOMPARE(f.listModel().headers(), QStringList({"Folder"}));
        QCOMPARE(rowTexts(f), QStringList({"\\", "\\Q\"uote\\", "\\B\\", "\\A\\", "\\A\\A1\\"}));
        clickRow(f, 3);
        QCOMPARE(f.Text6->text(), QStringLiteral("\\A\\"));
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("\"\\A\\\""));
        clickRow(f, 1);
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("\\Q\"uote\\"));
    }

    void clickOnAPageRow() {
        Harness h;
        Form1& f = h.start();
        f.showPages({{"Example page", "http://example.com/"}, {"", "http://untitled/"}});
        QCOMPARE(f.ListMode, 2);
        QCOMPARE(f.ItemCount, 2);
        QCOMPARE(f.Label7->text(), QStringLiteral("サイト数: 2"));
        f.Text6->setText("\\Target\\");
        f.Text5->setPlainText("old comment");
        clickRow(f, 0);
        QCOMPARE(f.Text2->text(), QStringLiteral("[Internet]"));
        QCOMPARE(f.Text3->text(), QStringLiteral("Example page"));
        QCOMPARE(f.Text4->text(), QStringLiteral("http://example.com/"));
        QCOMPARE(f.Text5->toPlainText(), QString());
        QCOMPARE(f.Text6->text(), QStringLiteral("\\Target\\"));
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.Text5));
        clickRow(f, 1);
        QCOMPARE(f.Text3->text(), QStringLiteral("Example page"));
    }

    void headerClicksSortAndLaterFillsStaySorted() {
        Harness h;
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "");
        brim::test::writeShortcut(h.root + "c.url", "http://c/", "alpha");
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "beta");
        Form1& f = h.start();
        QCOMPARE(rowTexts(f), QStringList({"a.url", "b.url", "c.url"}));
        clickHeader(f, 3);
        QCOMPARE(rowTexts(f, 2), QStringList({"beta", "alpha", ""}));
        clickHeader(f, 3);
        QCOMPARE(rowTexts(f, 2), QStringList({"beta", "alpha", ""}));
        clickHeader(f, 1);
        brim::test::writeShortcut(h.root + "0.url", "http://0/");
        f.allFile();
        QCOMPARE(rowTexts(f), QStringList({"0.url", "a.url", "b.url", "c.url"}));
        clickHeader(f, 3);
        f.allFolder();  // one column: the sort column is not there, the walk order stays
        QCOMPARE(rowTexts(f), QStringList({"\\"}));
        f.allFile();
        QCOMPARE(rowTexts(f, 2), QStringList({"beta", "alpha", "", ""}));
    }

    void commandLineStartShowsTheFavoriteInTheFullLayout() {
        Harness h;
        h.setting("mmode", "value", " 1");
        brim::test::writeShortcut(h.root + "Links/News.url", "http://news/", "ニュース");
        Form1& f = h.start(QString::fromStdString(h.root + "links/news.URL"));
        QCOMPARE(f.WinMode, 2);
        QCOMPARE(f.sizeTwips(), QSize(6270, 6615));
        QCOMPARE(f.Text2->text(), QString::fromStdString(h.root + "Links/"));
        QCOMPARE(f.Text6->text(), QString::fromStdString(h.root + "Links/"));
        QCOMPARE(f.Text3->text(), QStringLiteral("News"));
        QCOMPARE(f.Text4->text(), QStringLiteral("http://news/"));
        QCOMPARE(f.Text5->toPlainText(), QStringLiteral("ニュース"));
    }

    void compactFillEnlargesAndDoubleClickShrinksBack() {
        Harness h;
        h.setting("mmode", "value", " 1");
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        Form1& f = h.start();
        QCOMPARE(f.sizeTwips(), QSize(4140, 1245));
        f.allFile();
        QCOMPARE(f.sizeTwips(), QSize(6285, 3660));
        clickRow(f, 0, true);
        QCOMPARE(f.sizeTwips(), QSize(4140, 1245));
    }

    void alwaysOnTopFollowsModeAndMenu() {
        Harness h;
        h.setting("mmode", "value", " 2");
        Form1& f = h.start();
        const QRect before = f.geometry();
        QVERIFY(!onTop(f));
        f.everfront->trigger();
        QVERIFY(!f.everfront->isChecked());
        QCOMPARE(f.FrontFlag, 0);
        QVERIFY(!onTop(f));
        f.everfront->trigger();
        QVERIFY(f.everfront->isChecked());
        QVERIFY(onTop(f));
        QCOMPARE(f.geometry(), before);
        f.SetWmode();
        QVERIFY(!onTop(f));
        f.everfront->trigger();  // off, then the compact strip stays below others
        f.WinMode = 0;
        f.SetWmode();
        QVERIFY(!onTop(f));
    }

    void exitStoresThePositionAndStopsTheTimer() {
        Harness h;
        Form1& f = h.start();
        f.move(30, 20);
        QTest::mouseClick(f.Command3, Qt::LeftButton);
        QVERIFY(!f.Timer1->isActive());
        QCOMPARE(h.setting("Wposition", "x"), std::string("450"));
        QCOMPARE(h.setting("Wposition", "y"), std::string("300"));
    }

    void menuHasEveryItemInOrder() {
        Harness h;
        Form1& f = h.start();
        QStringList names;
        for (QAction* menu : f.menuBar()->actions()) {
            names << menu->menu()->objectName();
            for (QAction* a : menu->menu()->actions())
                names << a->objectName();
        }
        QCOMPARE(names, QStringList({"filemenu", "savemenu", "Mdelete",    "delfolder",   "line04",
                                     "openurl",  "mkHTML",   "line01",     "exitprogram", "Msearch",
                                     "autoCP",   "setHTML",  "setKEYWORD", "everfront",   "line02",
                                     "clearKey", "PKEYS",    "other",      "toCSV",       "line03",
                                     "mkstcut",  "uhelp",    "ophelp",     "showV"}));
        QCOMPARE(f.savemenu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
