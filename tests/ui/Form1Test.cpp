// Drives the main window offscreen through its real controls.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "cli/Command.h"
#include "core/Profile.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "ui/CheckBox.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form4.h"
#include "ui/Form5.h"
#include "ui/Form6.h"
#include "ui/Form7.h"

using brim::ui::Form1;

namespace {

// Records what the window asks the desktop to open; opens nothing.
struct RecordingOpener final : brim::platform::Opener {
    QStringList opened;
    std::string failure;
    std::string open(const std::string& target) override {
        opened << QString::fromStdString(target);
        return failure;
    }
};

// Pages a test says are open.
struct FakePages final : brim::platform::PageSource {
    std::vector<brim::platform::BrowserPage> pages;
    std::vector<brim::platform::BrowserPage> openPages() override { return pages; }
};

// One window over its own temporary Favorites folder and settings.
struct Harness {
    brim::test::TempDir dir;
    brim::test::TestFolders folders{dir};
    brim::platform::PosixFileSystem fs;
    brim::platform::IconvCodePage cp{"CP932"};
    brim::platform::LocaleCaseMapper caseMapper;
    RecordingOpener opener;
    FakePages pages;
    brim::platform::FreedesktopTrash trash{dir / "home/.local/share"};
    brim::platform::DesktopEntryShortcuts shortcuts{fs, folders.programFolder()};
    brim::ui::ScriptedDialogs dialogs;
    brim::core::Profile profile{fs, cp, folders};
    std::string root = folders.favorites();
    std::unique_ptr<Form1> form;

    Harness() { brim::test::makeFolders(root); }

    Form1& start(const QString& argument = {}) {
        form = std::make_unique<Form1>(brim::ui::Services{fs, cp, folders, caseMapper, opener,
                                                          pages, trash, shortcuts, dialogs});
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

// The command line over the window's folders.
int runCliOver(Harness& h, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
    brim::platform::Services services;
    services.fs = std::make_unique<brim::platform::PosixFileSystem>();
    services.codePage = std::make_unique<brim::platform::IconvCodePage>("CP932");
    services.folders = std::make_unique<brim::test::TestFolders>(h.dir);
    services.caseMapper = std::make_unique<brim::platform::LocaleCaseMapper>();
    return brim::cli::runCli(args, services, out, err);
}

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

QStringList comboTexts(Form1& f) {
    QStringList out;
    for (int i = 0; i < f.Combo1->count(); ++i)
        out << f.Combo1->itemText(i);
    return out;
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
        f.showPages({{"Example page", "http://example.com/", "Chromium"},
                     {"", "http://untitled/", "Chromium"}});
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
        brim::test::writeShortcut(h.root + "other.url", "http://other/", "");
        Form1& f = h.start(QString::fromStdString(h.root + "links/news.URL"));
        QCOMPARE(f.WinMode, 2);
        QCOMPARE(f.sizeTwips(), QSize(6270, 6615));
        QCOMPARE(f.Text2->text(), QString::fromStdString(h.root + "Links/"));
        QCOMPARE(f.Text6->text(), QString::fromStdString(h.root + "Links/"));
        QCOMPARE(f.Text3->text(), QStringLiteral("News"));
        QCOMPARE(f.Text4->text(), QStringLiteral("http://news/"));
        QCOMPARE(f.Text5->toPlainText(), QStringLiteral("ニュース"));
        QCOMPARE(rowTexts(f), QStringList({"News.url"}));  // "same" ran for its address
        QCOMPARE(f.ListMode, 0);
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

    void searchByEnterSearchAndGo() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://news.example/", "daily");
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "sport");
        brim::test::writeShortcut(h.root + "News/c.url", "http://c/", "");
        Form1& f = h.start();
        QTest::keyClicks(f.Combo1->lineEdit(), "news");
        QTest::keyClick(f.Combo1->lineEdit(), Qt::Key_Return);
        QCOMPARE(rowTexts(f), QStringList({"a.url", "c.url"}));
        QCOMPARE(f.Label7->text(), QStringLiteral("ファイル数: 2"));
        f.Combo1->setEditText("sport daily");
        QTest::mouseClick(f.Command8, Qt::LeftButton);
        QCOMPARE(rowTexts(f), QStringList({"a.url", "b.url"}));
        QCOMPARE(f.SearchKeys, (std::vector<std::string>{"sport", "daily"}));
        f.Combo1->setEditText("");
        QTest::mouseClick(f.Command8, Qt::LeftButton);  // empty: everything
        QCOMPARE(f.ItemCount, 3);
        f.Combo1->setEditText("   ");
        QTest::mouseClick(f.Command8, Qt::LeftButton);
        QCOMPARE(f.ItemCount, 0);
        QCOMPARE(f.Label7->text(), QStringLiteral("ファイル数: 0"));
        f.WinMode = 0;
        f.SetWmode();
        f.Combo1->setEditText("b.url");
        QTest::mouseClick(f.Command11, Qt::LeftButton);
        QCOMPARE(rowTexts(f), QStringList({"b.url"}));
    }

    void compactSearchOpensTheOneMatchOrEnlarges() {
        Harness h;
        h.setting("mmode", "value", " 1");
        brim::test::writeShortcut(h.root + "a.url", "http://alpha.example/", "one");
        brim::test::writeShortcut(h.root + "b.url", "http://beta.example/", "two");
        Form1& f = h.start();
        f.Text4->setText("http://stale.example/");
        f.searchFile("one");
        QCOMPARE(h.opener.opened, QStringList({"http://alpha.example/"}));
        QCOMPARE(f.Text3->text(), QStringLiteral("a"));
        QCOMPARE(f.sizeTwips(), QSize(4140, 1245));
        f.searchFile("example");
        QCOMPARE(f.sizeTwips(), QSize(6285, 3660));
        f.searchFile("nothing");
        QCOMPARE(f.sizeTwips(), QSize(6285, 3660));
        QCOMPARE(h.opener.opened.size(), 1);
        f.WinMode = 2;
        f.searchFile("one");  // other modes open nothing
        QCOMPARE(h.opener.opened.size(), 1);
    }

    void optionsTakeEffectAtOnceAndLastOnlyWhenClosed() {
        Harness h;
        brim::test::writeShortcut(h.root + "News/a.url", "http://a/", "");
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "News");
        {
            Form1& f = h.start();
            f.setKEYWORD->trigger();
            brim::ui::Form3& o = f.form3();
            QVERIFY(o.isVisible());
            QCOMPARE(o.windowTitle(), QStringLiteral("キーワード検索のオプション"));
            o.Check5->click();  // comment off
            o.Check1->click();  // case sensitive
            f.searchFile("News");
            QCOMPARE(rowTexts(f), QStringList({"a.url"}));
            QCOMPARE(h.setting("SerchCond", "check5"), std::string());
            o.Option2->click();
            QTest::mouseClick(o.Command1, Qt::LeftButton);
            QVERIFY(!o.isVisible());
            QCOMPARE(h.setting("SerchCond", "check5"), std::string("10"));
            QCOMPARE(h.setting("SerchCond", "check1"), std::string("10"));
            QCOMPARE(h.setting("SerchCond", "check2"), std::string("11"));
            QCOMPARE(h.setting("SerchCond", "option1"), std::string("10"));
        }
        Form1& again = h.start();
        QCOMPARE(brim::ui::checkValue(again.form3().Check5), 0);
        QVERIFY(again.form3().Option2->isChecked());
        h.setting("SerchCond", "check2", " 12");
        Form1& third = h.start();
        QCOMPARE(third.form3().Check2->checkState(), Qt::PartiallyChecked);
        third.searchFile("news");  // the folder field is grayed: off; the comment is off
        QCOMPARE(rowTexts(third), QStringList());
    }

    void historyRules() {
        Harness h;
        h.setting("KeyWords", "D0", "fixedA");
        h.setting("KeyWords", "D1", "fixedB");
        h.setting("KeyWords", "W0", "w0");
        h.setting("KeyWords", "W1", "");
        h.setting("KeyWords", "W2", "old1");
        h.setting("KeyWords", "W3", "old2");
        Form1& f = h.start();
        QCOMPARE(comboTexts(f), QStringList({"fixedA", "fixedB", "old2"}));
        const auto search = [&](const QString& text) {
            f.Combo1->setEditText(text);
            QTest::mouseClick(f.Command8, Qt::LeftButton);
        };
        search("news");
        search("news");
        search("fixedA");
        search("\\Links\\");
        search("\"\\Links\\\" ");
        QCOMPARE(comboTexts(f), QStringList({"fixedA", "fixedB", "old2", "news"}));
        QCOMPARE(h.setting("KeyWords", "W3"), std::string("news"));
        for (int i = 0; i < 12; ++i)
            search(QStringLiteral("k%1").arg(i));
        QCOMPARE(f.Combo1->count(), 15);
        QCOMPARE(f.Combo1->itemText(2), QStringLiteral("news"));  // old2 went
        QCOMPARE(h.setting("KeyWords", "W14"), std::string("k11"));
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("k11"));

        f.PKEYS->trigger();
        brim::ui::Form2& d = f.form2();
        QVERIFY(d.isVisible());
        QTest::keyClicks(d.Text1, "news");
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.Text1->text().isEmpty());
        QCOMPARE(comboTexts(f).mid(0, 4), QStringList({"fixedA", "fixedB", "news", "k0"}));
        QCOMPARE(comboTexts(f).count(QStringLiteral("news")), 1);
        QCOMPARE(h.setting("KeyWords", "D2"), std::string("news"));
        d.List1->setCurrentRow(0);
        d.List1_Click();
        QCOMPARE(d.Text1->text(), QStringLiteral("fixedA"));
        QTest::mouseClick(d.Command3, Qt::LeftButton);
        QCOMPARE(d.fixedKeywords(), (brim::core::KeywordList{"fixedB", "news"}));
        QCOMPARE(h.setting("KeyWords", "D0"), std::string("fixedB"));
        QCOMPARE(h.setting("KeyWords", "D2"), std::string());
        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QVERIFY(!d.isVisible());

        f.clearKey->trigger();
        QCOMPARE(comboTexts(f), QStringList({"fixedB", "news"}));
        // The stored history comes back at the next start.
        Form1& again = h.start();
        // The fixed block now covers two stored entries: "news" stands twice.
        QCOMPARE(comboTexts(again).mid(0, 3), QStringList({"fixedB", "news", "news"}));
        QCOMPARE(again.Combo1->itemText(14), QStringLiteral("k11"));
    }

    void folderListDoubleClickSearchesTheFolder() {
        Harness h;
        brim::test::writeShortcut(h.root + "News/a.url", "http://a/");
        brim::test::writeShortcut(h.root + "News/Sport/b.url", "http://b/");
        brim::test::writeShortcut(h.root + "c.url", "http://c/");
        Form1& f = h.start();
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        QCOMPARE(rowTexts(f), QStringList({"\\", "\\News\\", "\\News\\Sport\\"}));
        clickRow(f, 1, true);
        QCOMPARE(f.ListMode, 0);
        QCOMPARE(rowTexts(f), QStringList({"a.url", "b.url"}));
        QCOMPARE(comboTexts(f), QStringList());  // a folder is never recorded
    }

    void sameListsTheShownAddressAndTouchesNothingElse() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://x.example/page", "");
        brim::test::writeShortcut(h.root + "b.url", "http://x.example/page/more", "");
        brim::test::writeShortcut(h.root + "c.url", "http://y.example/", "http://x.example/page");
        h.setting("mmode", "value", " 1");
        Form1& f = h.start();
        f.Combo1->setEditText("typed");
        f.Text4->setText("http://x.example/page");
        const QSize size = f.sizeTwips();
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        QCOMPARE(rowTexts(f), QStringList({"a.url", "b.url"}));
        QCOMPARE(f.sizeTwips(), size);
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("typed"));
        QCOMPARE(f.Combo1->count(), 0);
        QVERIFY(h.opener.opened.isEmpty());
        f.Text4->clear();
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        QCOMPARE(f.ItemCount, 3);
    }

    void openingAddresses() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a.example/", "");
        Form1& f = h.start();
        f.Text4->setText("http://");
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QVERIFY(h.opener.opened.isEmpty());
        f.Text4->setText("ftp://x");
        f.openurl->trigger();
        QVERIFY(h.opener.opened.isEmpty());
        f.Text4->setText(" C:\\x yz");
        h.dialogs.confirmAnswers = {false, true};
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QVERIFY(h.opener.opened.isEmpty());
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QCOMPARE(h.opener.opened, QStringList({" C:\\x yz"}));
        QCOMPARE(h.dialogs.shown.size(), 2);
        h.dialogs.shown.clear();
        clickRow(f, 0, true);
        QCOMPARE(h.opener.opened.last(), QStringLiteral("http://a.example/"));
        h.opener.failure = "xdg-open was not found";
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown,
                 QStringList({"ブラウザを開けませんでした。\nxdg-open was not found"}));
    }

    // Addresses a favorite may hold: only http, https, ftp and mailto open
    // at once; any other is opened only when the user says yes to a
    // question that shows it, control characters made visible.
    void hostileAddressesOpenOnlyAfterAQuestion_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("shown");  // empty: no question
        QTest::newRow("http") << "http://a.example/"
                              << "";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "javascript:alert(1)";
        QTest::newRow("tab in scheme") << "java\tscript:alert(1)"
                                       << "java\\x09script:alert(1)";
        QTest::newRow("data") << "data:text/html,<script>x</script>"
                              << "data:text/html,<script>x</script>";
        QTest::newRow("escape") << "x-app:\x1b[2J\x1b]0;t\x07"
                                << "x-app:\\x1b[2J\\x1b]0;t\\x07";
        QTest::newRow("no scheme") << "/usr/bin/xterm"
                                   << "/usr/bin/xterm";
    }
    void hostileAddressesOpenOnlyAfterAQuestion() {
        QFETCH(QString, url);
        QFETCH(QString, shown);
        Harness h;
        Form1& f = h.start();
        f.Text4->setText(url);
        h.dialogs.confirmAnswers = {false};
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        if (shown.isEmpty()) {
            QVERIFY(h.dialogs.shown.isEmpty());
            QCOMPARE(h.opener.opened, QStringList({url}));
            return;
        }
        QCOMPARE(h.dialogs.shown.size(), 1);
        QVERIFY(h.dialogs.shown[0].endsWith("\n\n" + shown));
        QVERIFY(h.opener.opened.isEmpty());  // said no
        h.dialogs.confirmAnswers = {true};
        f.openurl->trigger();
        QCOMPARE(h.dialogs.shown.size(), 2);
        QCOMPARE(h.opener.opened, QStringList({url}));  // unchanged
    }

    void windowAndCommandLineAgree() {
        Harness h;
        for (const char* name : {"a", "b", "c"}) {
            brim::test::writeShortcut(h.root + "F/" + name + ".url",
                                      std::string("http://") + name + ".example/", "news");
        }
        brim::test::writeShortcut(h.root + "News.url", "http://news/", "");
        brim::test::writeShortcut(h.root + "F/G/same.url", "http://a.example/more", "");
        h.setting("SerchCond", "check5", " 10");
        Form1& f = h.start();
        // The command line's JSON "name" or folder strings, in order.
        const auto cli = [&](std::vector<std::string> args, const char* field) {
            args.insert(args.begin(), "--json");
            std::ostringstream out, err;
            if (runCliOver(h, args, out, err) != 0) return QStringList{"failed"};
            const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.str()));
            QStringList texts;
            for (const QJsonValue& v : doc.array()) {
                texts << (v.isString() ? v.toString() : v.toObject()[field].toString());
            }
            return texts;
        };
        f.searchFile("news");
        QCOMPARE(rowTexts(f), QStringList({"News.url"}));
        QCOMPARE(cli({"search", "news"}, "name"), rowTexts(f));
        f.Text4->setText("http://a.example/");
        f.Command2_Click();
        QCOMPARE(cli({"same", "http://a.example/"}, "name"), rowTexts(f));
        f.allFolder();
        QCOMPARE(cli({"folders"}, ""), rowTexts(f));
        f.allFile();
        QCOMPARE(cli({"list"}, "folder"), rowTexts(f, 1));
        clickRow(f, 1);
        std::ostringstream out, err;
        const std::vector<std::string> show{"--json", "show", "\\F\\a.url"};
        QCOMPARE(runCliOver(h, show, out, err), 0);
        const QJsonObject fields =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
        QCOMPARE(fields["folder"].toString(), f.Text2->text());
        QCOMPARE(fields["name"].toString(), f.Text3->text());
        QCOMPARE(fields["url"].toString(), f.Text4->text());
        QCOMPARE(fields["comment"].toString(), f.Text5->toPlainText());
    }

    void startShowsTheOpenPagesNewestFirst() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        h.pages.pages = {{"One", "https://one.example/", "Mozilla Firefox"},
                         {"Blank", "about:blank", "Mozilla Firefox"},
                         {"Two", "http://two.example/", "Chromium"},
                         {"Other", "https://other.example/", "Opera"}};
        Form1& f = h.start();
        QCOMPARE(f.ListMode, 2);
        QCOMPARE(f.ItemCount, 2);
        QCOMPARE(f.listModel().headers(), QStringList({"site", "URL"}));
        QCOMPARE(rowTexts(f), QStringList({"Two", "One"}));
        QCOMPARE(rowTexts(f, 1), QStringList({"http://two.example/", "https://one.example/"}));
        QCOMPARE(f.Label7->text(), QStringLiteral("サイト数: 2"));
        QCOMPARE(f.Text2->text(), QString());  // two pages: nothing taken over
    }

    void aSinglePageIsTakenOverWhenAutoCopySaysSo() {
        Harness h;
        h.pages.pages = {{"Only page", "https://only.example/", "Google Chrome"}};
        {
            Form1& f = h.start();
            QCOMPARE(f.Text2->text(), QStringLiteral("[Internet]"));
            QCOMPARE(f.Text3->text(), QStringLiteral("Only page"));
            QCOMPARE(f.Text4->text(), QStringLiteral("https://only.example/"));
            QCOMPARE(f.Text5->toPlainText(), QString());
            // Start-up ends by giving the keyword box the focus.
            QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.Combo1));
        }
        h.setting("AutoCopy", "IE", " 10");
        Form1& f = h.start();
        QCOMPARE(f.ItemCount, 1);
        QCOMPARE(f.Text3->text(), QString());
        f.form7().Check1->click();  // on again, without OK: the next capture follows it
        QTest::mouseClick(f.Command6, Qt::LeftButton);
        QCOMPARE(f.Text3->text(), QStringLiteral("Only page"));
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.Text5));
        QCOMPARE(h.setting("AutoCopy", "IE"), std::string("10"));
    }

    void getWithNoPagesShowsAnEmptyPageList() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        Form1& f = h.start();
        QCOMPARE(f.ListMode, 0);
        QTest::mouseClick(f.Command6, Qt::LeftButton);
        QCOMPARE(f.ListMode, 2);
        QCOMPARE(f.ItemCount, 0);
        QCOMPARE(f.Label7->text(), QStringLiteral("サイト数: 0"));
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.Text5));
    }

    void autoCopyDialogStoresBothBoxes() {
        Harness h;
        Form1& f = h.start();
        f.autoCP->trigger();
        brim::ui::Form7& d = f.form7();
        QVERIFY(d.isVisible());
        QCOMPARE(d.windowTitle(), QStringLiteral("Auto Copyの設定"));
        d.Check2->click();
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(h.setting("AutoCopy", "IE"), std::string("11"));
        QCOMPARE(h.setting("AutoCopy", "File"), std::string("10"));
        QVERIFY(brim::test::readFile(h.folders.settingsFile())
                    .find("[AutoCopy]\r\nIE= 11\r\nFile= 10\r\n") != std::string::npos);
    }

    void aSingleMatchIsTakenOverWhenAutoCopySaysSo() {
        Harness h;
        brim::test::writeShortcut(h.root + "News/one.url", "http://one.example/", "unique");
        brim::test::writeShortcut(h.root + "two.url", "http://two.example/", "");
        {
            Form1& f = h.start();
            f.searchFile("unique");
            QCOMPARE(f.Text2->text(), QStringLiteral("\\News\\"));
            QCOMPARE(f.Text3->text(), QStringLiteral("one"));
            QCOMPARE(f.Text4->text(), QStringLiteral("http://one.example/"));
            QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.Command4));
            f.Text3->setText("kept");
            f.searchFile("example");  // two matches: nothing taken over
            QCOMPARE(f.Text3->text(), QStringLiteral("kept"));
            QVERIFY(h.opener.opened.isEmpty());
        }
        h.setting("AutoCopy", "File", " 10");
        Form1& f = h.start();
        f.Text3->setText("kept");
        f.searchFile("unique");
        QCOMPARE(f.Text3->text(), QStringLiteral("kept"));
    }

    void saveWritesTheBoxes() {
        Harness h;
        brim::test::writeFile(h.root + "Links/News.url",
                              "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n");
        Form1& f = h.start();
        clickRow(f, 0);
        QCOMPARE(f.Text3->text(), QStringLiteral("News"));
        f.Text5->setPlainText(QStringLiteral("毎日\n読む"));
        QTest::mouseClick(f.Command7, Qt::LeftButton);
        QCOMPARE(brim::test::readFile(h.root + "Links/News.url"),
                 "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n[CommentKey]\r\nWords=" +
                     brim::test::cp932("毎日 読む") + "\r\n");
        QCOMPARE(f.Text3->text(), QStringLiteral("News"));
        QVERIFY(h.dialogs.shown.isEmpty());
        QCOMPARE(rowTexts(f, 2), QStringList({""}));  // the list is not touched

        f.Text3->clear();
        f.Text4->setText("portal.test");
        f.Text6->setText("New");
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keySequence(&f, QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "New/portal.test.url")));
        QCOMPARE(f.Text3->text(), QStringLiteral("portal.test"));
    }

    void saveFailuresAreReported() {
        Harness h;
        Form1& f = h.start();
        f.Text3->clear();
        f.Text4->clear();
        QTest::mouseClick(f.Command7, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("登録名かURLを入力してください。"));
        f.Text3->setText("deep");
        f.Text4->setText("http://d/");
        f.Text6->setText("\\One\\Two\\");
        f.savemenu->trigger();
        QCOMPARE(
            h.dialogs.shown.last(),
            QStringLiteral(
                "「deep.url」を保存できませんでした。\nフォルダまたはファイルが見つかりません。"));
        QCOMPARE(f.Text3->text(), QStringLiteral("deep"));
        f.Text3->clear();
        f.Text4->setText("https://x.example/page");
        f.Text6->clear();
        QTest::mouseClick(f.Command7, Qt::LeftButton);
        QVERIFY(h.dialogs.shown.last().startsWith(
            QStringLiteral("「https://x.example/page.url」は登録名に使えません。")));
        QCOMPARE(f.Text3->text(), QString());

        f.Text3->setText(".hidden");
        f.Text4->setText("http://h/");
        QTest::mouseClick(f.Command7, Qt::LeftButton);
        QVERIFY(h.dialogs.shown.last().startsWith(QStringLiteral(
            "「.hidden.url」は「.」で始まるため、保存しても一覧に表示されません。")));
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + ".hidden.url")));

        f.Text3->setText("smile");
        f.Text5->setPlainText(QStringLiteral("笑顔 \U0001F600"));
        QTest::mouseClick(f.Command7, Qt::LeftButton);
        QCOMPARE(
            h.dialogs.shown.last(),
            QStringLiteral("「smile.url」を保存できませんでした。\n「\U0001F600」はこのファイルの"
                           "文字コード（CP932）で保存できない文字です。"));
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + "smile.url")));
    }

    void deleteAsksAndMovesToTheTrash() {
        Harness h;
        brim::test::writeShortcut(h.root + "Links/News.url", "http://n/");
        Form1& f = h.start();
        clickRow(f, 0);
        h.dialogs.confirmAnswers = {false};
        QTest::mouseClick(f.Command5, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("「News.url」をごみ箱に移動しますか？"));
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "Links/News.url")));
        f.Mdelete->trigger();
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + "Links/News.url")));
        QVERIFY(QFile::exists(
            QString::fromStdString(h.dir / "home/.local/share/Trash/files/News.url")));
        QCOMPARE(rowTexts(f), QStringList({"News.url"}));  // the row stays until the next fill
        QTest::mouseClick(f.Command5, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("ファイルが見つかりません。\n") +
                                             QString::fromStdString(h.root + "Links/News.url"));
        f.Text2->setText("[Internet]");
        QTest::mouseClick(f.Command5, Qt::LeftButton);
        QVERIFY(h.dialogs.shown.last().startsWith(QStringLiteral("ファイルが見つかりません。")));
    }

    void emptyFoldersAreRemovedAndListed() {
        Harness h;
        brim::test::writeShortcut(h.root + "Keep/a.url", "http://a/");
        brim::test::makeFolders(h.root + "Keep/Empty");
        brim::test::makeFolders(h.root + "Gone/A/B");
        Form1& f = h.start();
        const QString caption = f.Label7->text();
        f.delfolder->trigger();
        QCOMPARE(f.listModel().headers(), QStringList({"Deleted Folders"}));
        QCOMPARE(f.ListMode, 1);
        QCOMPARE(f.ItemCount, 0);
        QCOMPARE(f.Label7->text(), caption);
        QCOMPARE(rowTexts(f), QStringList({QString::fromStdString(h.root + "Keep/Empty"),
                                           QString::fromStdString(h.root + "Gone")}));
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + "Gone")));
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "Keep/a.url")));
        QVERIFY(h.dialogs.shown.isEmpty());
        f.delfolder->trigger();
        QCOMPARE(f.listModel().rowCount(), 0);
    }

    void htmlExportAsksForAFreeName() {
        Harness h;
        brim::test::writeShortcut(h.root + "Links/News.url", "http://n/", "daily");
        brim::test::makeFolders(h.folders.desktop());
        brim::test::writeFile(h.folders.desktop() + "taken.html", "keep");
        Form1& f = h.start();
        h.dialogs.inputAnswers = {"taken.htm", "Bookmarks.htm"};
        QTest::mouseClick(f.Command9, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown,
                 QStringList({
                     "Input HTML-file name: 保存するHTMLファイルの名前を入力してください",
                     "そのファイルはすでに存在します ",
                     "Input HTML-file name: 保存するHTMLファイルの名前を入力してください",
                 }));
        QCOMPARE(h.dialogs.proposed, QStringList({"お気に入り一覧", "お気に入り一覧"}));
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "taken.html"), std::string("keep"));
        const std::string page = brim::test::readFile(h.folders.desktop() + "Bookmarks.html");
        QVERIFY(page.find("<P>Links</P>\r\n<UL>\r\n <LI><A HREF=\"http://n/\">News</A>") !=
                std::string::npos);
        h.dialogs.inputAnswers = {QString()};  // cancelled: nothing more
        f.mkHTML->trigger();
        QCOMPARE(h.dialogs.shown.size(), 4);
        QTest::mouseClick(f.Command1, Qt::LeftButton);  // the folder list: nothing to export
        f.mkHTML->trigger();
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("リストが空です"));
        f.toCSV->trigger();
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("リストがありません"));
    }

    void csvAndBookmarkExports() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "one, \"two\"");
        brim::test::makeFolders(h.folders.desktop());
        Form1& f = h.start();
        h.dialogs.inputAnswers = {"list.txt"};
        f.toCSV->trigger();
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "list.csv"),
                 brim::test::cp932("名称, フォルダ, URL, コメント") +
                     "\r\n\"a\",\"\",\"http://a/\",\"one, \"\"two\"\"\"\r\n");
        h.dialogs.inputAnswers = {"a/b", "marks"};
        f.toBookmarks->trigger();
        QCOMPARE(h.dialogs.shown[2], QStringLiteral("ファイル名に「\\」や「/」は使えません。"));
        QVERIFY(
            brim::test::readFile(h.folders.desktop() + "marks.html").find("<!DOCTYPE NETSCAPE") ==
            0);
        h.pages.pages = {{"Page", "https://p/", "Chromium"}};
        QTest::mouseClick(f.Command6, Qt::LeftButton);
        h.dialogs.inputAnswers = {"pages"};
        f.toCSV->trigger();
        QVERIFY(brim::test::readFile(h.folders.desktop() + "pages.csv")
                    .find("\"Page\",\"\",\"https://p/\"") != std::string::npos);
    }

    void exportFailureIsReported() {
        Harness h;  // no Desktop folder
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        Form1& f = h.start();
        h.dialogs.inputAnswers = {"x"};
        f.mkHTML->trigger();
        QVERIFY(h.dialogs.shown.last().startsWith(QStringLiteral("「")));
        QVERIFY(h.dialogs.shown.last().endsWith(
            QStringLiteral("フォルダまたはファイルが見つかりません。")));
    }

    void htmlOptionsDialog() {
        Harness h;
        h.setting("HTMLCond", "check1", " 11");
        Form1& f = h.start();
        brim::ui::Form4& d = f.form4();
        QVERIFY(d.Check1->isChecked());
        QVERIFY(d.Check2->isChecked());
        f.setHTML->trigger();
        QVERIFY(d.isVisible());
        QVERIFY(!d.Check3->isChecked());
        d.Check2->click();
        d.Check3->click();
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(h.setting("HTMLCond", "check1"), std::string("11"));
        QCOMPARE(h.setting("HTMLCond", "check2"), std::string("10"));
        QCOMPARE(h.setting("HTMLCond", "check3"), std::string("11"));
        h.form.reset();
        QVERIFY(h.start().form4().Check3->isChecked());
    }

    void csvTellsWhatTheCodePageLacksOrKeepsItInUtf8() {
        Harness h;
        brim::test::writeShortcut(h.root + "Café/\U0001F600.url", "http://e/", "=1+1");
        brim::test::makeFolders(h.folders.desktop());
        Form1& f = h.start();
        h.dialogs.inputAnswers = {"cp"};
        f.toCSV->trigger();
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "cp.csv"),
                 brim::test::cp932("名称, フォルダ, URL, コメント") +
                     "\r\n\"?\",\"Caf?\",\"http://e/\",\"'=1+1\"\r\n");
        QVERIFY(h.dialogs.shown.last().startsWith(QStringLiteral("コードページにない 2 文字を")));
        f.form4().Check3->click();
        h.dialogs.shown.clear();
        h.dialogs.inputAnswers = {"utf8"};
        f.toCSV->trigger();
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "utf8.csv"),
                 std::string("\xEF\xBB\xBF名称, フォルダ, URL, コメント\r\n"
                             "\"\U0001F600\",\"Café\",\"http://e/\",\"'=1+1\"\r\n"));
        QCOMPARE(h.dialogs.shown.size(), 1);  // the name asked, nothing to tell
        h.dialogs.inputAnswers = {"utf8"};    // taken, then cancelled: no count either
        f.form4().Check3->click();
        f.toCSV->trigger();
        QVERIFY(!h.dialogs.shown.last().contains(QStringLiteral("コードページ")));
    }

    void programShortcuts() {
        Harness h;
        brim::test::makeFolders(h.folders.desktop());
        brim::test::makeFolders(h.folders.sendTo());
        Form1& f = h.start();
        f.mkstcut->trigger();
        brim::ui::Form5& d = f.form5();
        QVERIFY(d.isVisible());
        QVERIFY(d.Check1->isChecked() && d.Check2->isChecked());
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        const std::string entry = brim::test::readFile(h.folders.sendTo() + "Brimmark.desktop");
        QVERIFY(entry.find("Exec=\"" + h.folders.programFolder() + "brimmark\" %f\n") !=
                std::string::npos);
        QVERIFY(entry.find("MimeType=application/x-mswinurl;\n") != std::string::npos);
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "Brimmark.desktop"), entry);
        QTest::mouseClick(d.Command1, Qt::LeftButton);  // twice: still one each
        QCOMPARE(QDir(QString::fromStdString(h.folders.sendTo())).entryList(QDir::Files).size(), 1);
        std::filesystem::remove(h.folders.desktop() + "Brimmark.desktop");
        d.Check1->click();
        d.Check2->click();
        QTest::mouseClick(d.Command1, Qt::LeftButton);  // none chosen: nothing written
        QVERIFY(!QFile::exists(QString::fromStdString(h.folders.desktop() + "Brimmark.desktop")));
        d.Check2->click();
        std::filesystem::remove_all(h.folders.desktop());
        QTest::mouseClick(d.Command1, Qt::LeftButton);  // a missing folder is made
        QCOMPARE(brim::test::readFile(h.folders.desktop() + "Brimmark.desktop"), entry);
        std::filesystem::remove_all(h.folders.desktop());
        brim::test::writeFile(h.folders.desktop().substr(0, h.folders.desktop().size() - 1), "");
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(h.dialogs.shown.last().startsWith(
            QStringLiteral("ショートカットを作成できませんでした。")));
        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }

    void programPathAShortcutCannotHoldIsRefused() {
        Harness h;
        brim::platform::DesktopEntryShortcuts odd{h.fs, h.folders.programFolder() + "a\nb/"};
        brim::ui::Form5 d(odd, h.dialogs, h.folders.sendTo(), h.folders.desktop(), nullptr);
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QCOMPARE(h.dialogs.shown.size(), 1);  // once, not for each folder
        QVERIFY(h.dialogs.shown[0].startsWith(
            QStringLiteral("ショートカットを作成できませんでした。\n")));
        QVERIFY(h.dialogs.shown[0].contains("a\\x0ab/brimmark"));
        QVERIFY(!std::filesystem::exists(h.folders.sendTo()));
        QVERIFY(!std::filesystem::exists(h.folders.desktop()));
    }

    void helpAndAbout() {
        Harness h;
        Form1& f = h.start();
        f.ophelp->trigger();
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("ファイルのパスが見つかりません。"));
        brim::test::makeFolders(h.folders.programFolder());
        f.ophelp->trigger();
        QCOMPARE(h.dialogs.shown.last(), QStringLiteral("ファイルが見つかりません。"));
        brim::test::writeFile(h.folders.programFolder() + "Brimmark.html", "<html></html>");
        f.ophelp->trigger();
        QCOMPARE(h.opener.opened.last(),
                 QString::fromStdString(h.folders.programFolder() + "Brimmark.html"));

        f.showV->trigger();
        brim::ui::Form6& about = f.form6();
        QVERIFY(about.isVisible());
        QCOMPARE(about.Label1->text(), f.windowTitle());
        QVERIFY(!about.Label3->text().isEmpty());
        about.Label2_Click();
        QCOMPARE(h.opener.opened.last(), QString(brim::ui::kHomePage));
        QVERIFY(!about.isVisible());
        f.showV->trigger();
        QTest::mouseClick(about.Command1, Qt::LeftButton);
        QVERIFY(!about.isVisible());
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
        // clang-format off
        QCOMPARE(names, QStringList({
            "filemenu", "savemenu", "Mdelete", "delfolder", "line04", "openurl", "mkHTML",
            "line01", "exitprogram",
            "Msearch", "autoCP", "setHTML", "setKEYWORD", "everfront", "line02", "clearKey",
            "PKEYS",
            "other", "toCSV", "toBookmarks", "line03", "mkstcut",
            "uhelp", "ophelp", "showV"}));
        // clang-format on
        QCOMPARE(f.savemenu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
