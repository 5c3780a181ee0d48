// Drives the main window offscreen through its real controls: what needs Qt
// (bindings, focus, window flags, timers, dialogs). The rules themselves are
// tested without Qt in tests/app.

#include "Form1Harness.h"
#include "WindowsTree.h"
#include "app/Messages.h"

using namespace brim::uitest;

class Form1Test : public QObject {
    Q_OBJECT

  private slots:
    void startsInTheFullLayoutWithTheListShown() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "エー");
        brim::test::writeShortcut(h.root + "B/y.url", "http://y/");
        Form1& f = h.start();
        QCOMPARE(f.windowTitle(), QStringLiteral("Brimmark - 私のお気に入り v1.3"));
        QCOMPARE(h.sizeTwips(), QSize(6270, 6615));
        QCOMPARE(f.pos(), QPoint(0, 0));
        QCOMPARE(h.count(), QStringLiteral("ファイル数: 2"));
        QCOMPARE(h.list()->model()->headerData(2, Qt::Horizontal).toString(), "Comment");
        QCOMPARE(h.rowTexts(), QStringList({"a.url", "y.url"}));
        QCOMPARE(h.rowTexts(2), QStringList({"エー", ""}));
        // Columns take two, two and three fifths of the list's width.
        QCOMPARE(h.list()->columnWidth(0), h.list()->width() * 2 / 5);
        QCOMPARE(h.list()->columnWidth(2), h.list()->width() * 3 / 5);
        QVERIFY(h.child<QPushButton>("Command11")->isHidden());
        QTimer* timer = h.child<QTimer>("Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QVERIFY(h.action("everfront")->isChecked());
        QVERIFY(!h.onTop());
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(h.combo()));
    }

    void compactStripShowsGoStaysOnTopAndDisablesMenuItems() {
        Harness h;
        h.setting("mmode", "value", " 1");
        Form1& f = h.start();
        QCOMPARE(h.sizeTwips(), QSize(4140, 1245));
        QVERIFY(!h.child<QPushButton>("Command11")->isHidden());
        for (const char* item : {"savemenu", "Mdelete", "autoCP"})
            QVERIFY(!h.action(item)->isEnabled());
        QVERIFY(h.onTop());
        QCOMPARE(h.combo()->width() * 15, 2415);
        const QPoint corner = f.pos();
        QTest::mouseClick(h.button("Command10"), Qt::LeftButton);
        QCOMPARE(h.sizeTwips(), QSize(6270, 4335));
        QCOMPARE(f.pos(), corner);
        QCOMPARE(h.setting("mmode", "value"), std::string("2"));
        QVERIFY(!h.onTop());
        for (const char* item : {"savemenu", "Mdelete", "autoCP"})
            QVERIFY(h.action(item)->isEnabled());
    }

    void alwaysOnTopKeepsTheGeometry() {
        Harness h;
        h.setting("mmode", "value", " 1");
        Form1& f = h.start();
        const QRect before = f.geometry();
        h.action("everfront")->trigger();
        QVERIFY(!h.action("everfront")->isChecked());
        QVERIFY(!h.onTop());
        h.action("everfront")->trigger();
        QVERIFY(h.onTop());
        QCOMPARE(f.geometry(), before);
    }

    void settingsMenuSwitchesTurnOffAndOnAndAreStored() {
        const struct {
            const char* item;
            const char* section;
        } cases[] = {{"typesearch", "typesearch"}, {"rowcache", "rowcache"}};
        for (const auto& c : cases) {
            Harness h;
            h.start();
            QAction* a = h.action(c.item);
            QVERIFY2(a->isCheckable(), c.item);
            QVERIFY2(a->isChecked(), c.item);
            for (const bool on : {false, true}) {
                a->trigger();
                QCOMPARE(a->isChecked(), on);
                QCOMPARE(h.setting(c.section, "value"), std::string(on ? "11" : "10"));
            }
        }
    }

    void timerStoresThePositionAfterAMove() {
        Harness h;
        h.setting("Wposition", "x", " 1500");
        h.setting("Wposition", "y", " 600");
        Form1& f = h.start();
        QCOMPARE(f.pos(), QPoint(100, 40));
        f.move(200, 80);
        QTRY_COMPARE_WITH_TIMEOUT(h.setting("Wposition", "x"), std::string("3000"), 5000);
        QCOMPARE(h.setting("Wposition", "y"), std::string("1200"));
    }

    void unreachablePositionGoesToThePrimaryScreen() {
        Harness h;
        h.setting("Wposition", "x", "-300000");
        h.setting("Wposition", "y", " 900000");
        Form1& f = h.start();
        QCOMPARE(f.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }

    void exitStoresThePositionAndStopsTheTimer() {
        Harness h;
        Form1& f = h.start();
        f.move(30, 20);
        QTest::mouseClick(h.button("Command3"), Qt::LeftButton);
        QVERIFY(!h.child<QTimer>("Timer1")->isActive());
        QCOMPARE(h.setting("Wposition", "x"), std::string("450"));
        QCOMPARE(h.setting("Wposition", "y"), std::string("300"));
    }

    void clicksOnRowsFillTheBoxes() {
        Harness h;
        brim::test::writeShortcut(h.root + "Links/News.url", "http://news.example/", "daily");
        brim::test::writeFile(h.root + "page.html", "<html></html>");
        Form1& f = h.start();
        h.clickRow(1);
        QCOMPARE(h.edit("Text2")->text(), QStringLiteral("\\Links\\"));
        QCOMPARE(h.edit("Text3")->text(), QStringLiteral("News"));
        QCOMPARE(h.edit("Text4")->text(), QStringLiteral("http://news.example/"));
        QCOMPARE(h.child<QPlainTextEdit>("Text5")->toPlainText(), QStringLiteral("daily"));
        QCOMPARE(h.edit("Text6")->text(), QStringLiteral("\\Links\\"));
        h.edit("Text3")->setText("kept");
        h.list()->clearSelection();
        QTest::mouseClick(h.list()->viewport(), Qt::LeftButton, {},
                          QPoint(5, h.list()->viewport()->height() - 3));
        QCOMPARE(h.edit("Text3")->text(), QStringLiteral("kept"));
        h.pages.pages = {{"Example page", "http://example.com/", "Chromium"},
                         {"Other", "http://other.example/", "Chromium"}};
        QTest::mouseClick(h.button("Command6"), Qt::LeftButton);
        QCOMPARE(h.count(), QStringLiteral("サイト数: 2"));
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(h.child<QPlainTextEdit>("Text5")));
        h.edit("Text3")->setFocus();
        h.clickRow(1);  // the newest page comes first
        QCOMPARE(h.edit("Text2")->text(), QStringLiteral("[Internet]"));
        QCOMPARE(h.edit("Text3")->text(), QStringLiteral("Example page"));
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(h.child<QPlainTextEdit>("Text5")));
    }

    void keyboardMovesFillTheBoxesAndEnterOpens() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a.example/", "one");
        brim::test::writeShortcut(h.root + "b.url", "http://b.example/", "two");
        brim::test::writeShortcut(h.root + "News/c.url", "http://c.example/", "three");
        h.start();
        h.activate();
        h.clickRow(0);
        QCOMPARE(h.focusName(), QStringLiteral("ListView1"));
        const struct {
            Qt::Key key;
            const char* name;
            const char* comment;
        } moves[] = {{Qt::Key_Down, "b", "two"},
                     {Qt::Key_End, "c", "three"},
                     {Qt::Key_Up, "b", "two"},
                     {Qt::Key_Home, "a", "one"}};
        for (const auto& m : moves) {
            h.press(m.key);
            QCOMPARE(h.edit("Text3")->text(), QString(m.name));
            QCOMPARE(h.child<QPlainTextEdit>("Text5")->toPlainText(), QString(m.comment));
            QCOMPARE(h.focusName(), QStringLiteral("ListView1"));
        }
        QVERIFY(h.opener.opened.isEmpty());
        h.press(Qt::Key_Down);
        h.press(Qt::Key_Return);
        QCOMPARE(h.opener.opened, QStringList({"http://b.example/"}));

        // In the folder list, Enter searches the folder as a double click does.
        QTest::mouseClick(h.button("Command1"), Qt::LeftButton);
        h.settle();
        h.list()->setFocus();
        h.press(Qt::Key_Down);
        h.press(Qt::Key_Down);  // to the last row, whichever row the list started at
        QCOMPARE(h.combo()->currentText(), QStringLiteral("\"\\News\\\""));
        h.press(Qt::Key_Enter);
        QCOMPARE(h.rowTexts(), QStringList({"c.url"}));
    }

    void tabGoesThroughTheWindowInTheFormsOrder() {
        Harness h;
        h.start();
        h.activate();
        h.combo()->setFocus();
        const QStringList order = {"Combo1",   "Command10", "ListView1", "Command6", "Command2",
                                   "Command1", "Command8",  "Command4",  "Command5", "Command9",
                                   "Command3", "Text2",     "Command7",  "Text3",    "Text4",
                                   "Text5",    "Text6",     "Combo1"};
        QStringList forward = {h.focusName()};
        for (int i = 1; i < order.size(); ++i) {
            h.press(Qt::Key_Tab);
            forward << h.focusName();
        }
        QCOMPARE(forward, order);
        QStringList backward = {h.focusName()};
        for (int i = 1; i < order.size(); ++i) {
            h.press(Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(h.focusName());
        }
        QCOMPARE(backward, order);

        // The comment box takes text but lets Tab through, either way.
        auto* text5 = h.child<QPlainTextEdit>("Text5");
        text5->setFocus();
        h.typeText("note");
        h.press(Qt::Key_Tab);
        QCOMPARE(h.focusName(), QStringLiteral("Text6"));
        h.press(Qt::Key_Backtab, Qt::ShiftModifier);
        h.press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(h.focusName(), QStringLiteral("Text4"));
        QCOMPARE(text5->toPlainText(), QStringLiteral("note"));

        // In the compact strip "Go" stands between the box and the mode button,
        // and what the strip cuts off is passed over.
        QTest::mouseClick(h.button("Command10"), Qt::LeftButton);
        h.combo()->setFocus();
        QStringList strip = {h.focusName()};
        do {
            h.press(Qt::Key_Tab);
            strip << h.focusName();
        } while (strip.last() != "Combo1" && strip.size() < order.size());
        QCOMPARE(strip.mid(0, 3), QStringList({"Combo1", "Command11", "Command10"}));
        QCOMPARE(strip.last(), QStringLiteral("Combo1"));
        for (const QString& name : strip) {
            const QWidget* w = h.child<QWidget>(qPrintable(name));
            QVERIFY2(w->mapTo(h.form.get(), QPoint(0, 0)).y() < h.form->height(), qPrintable(name));
        }
        h.press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(h.focusName(), strip[strip.size() - 2]);
    }

    void folderClickAndDoubleClick() {
        Harness h;
        brim::test::writeShortcut(h.root + "News/a.url", "http://a/");
        brim::test::writeShortcut(h.root + "c.url", "http://c/");
        h.start();
        QTest::mouseClick(h.button("Command1"), Qt::LeftButton);
        QCOMPARE(h.rowTexts(), QStringList({"\\", "\\News\\"}));
        QCOMPARE(h.count(), QStringLiteral("フォルダ数: 2"));
        h.clickRow(1, true);
        QCOMPARE(h.edit("Text6")->text(), QStringLiteral("\\News\\"));
        QCOMPARE(h.rowTexts(), QStringList({"a.url"}));
    }

    void headerClicksSortAndShowTheMark() {
        Harness h;
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "");
        brim::test::writeShortcut(h.root + "c.url", "http://c/", "alpha");
        brim::test::writeShortcut(h.root + "a.url", "http://a/", "beta");
        h.start();
        const int width = h.list()->columnWidth(0);
        h.clickHeader(3);
        QCOMPARE(h.rowTexts(2), QStringList({"beta", "alpha", ""}));
        QHeaderView* header = h.list()->header();
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 2);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(h.list()->columnWidth(0), width);
        h.clickRow(0);
        QCOMPARE(h.edit("Text3")->text(), QStringLiteral("a"));
    }

    void sortingKeepsTheShownFavoriteSelectedAndInView() {
        Harness h;
        for (int i = 0; i < 60; ++i) {
            const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
            brim::test::writeShortcut(h.root + "f" + n + ".url", "http://f" + n + "/", "c" + n);
        }
        h.start();
        h.clickRow(3);
        h.child<QPlainTextEdit>("Text5")->setPlainText("edited");
        const auto shown = [&h] {
            const QModelIndexList rows = h.list()->selectionModel()->selectedRows();
            if (rows.size() != 1 || rows[0] != h.list()->currentIndex()) return QString("?");
            const QRect at = h.list()->visualRect(rows[0]);
            if (!h.list()->viewport()->rect().contains(at.center())) return QString("hidden");
            return rows[0].data().toString();
        };
        QCOMPARE(shown(), QStringLiteral("f03.url"));
        for (const int header : {3, 1, 2, 3}) {
            h.clickHeader(header);
            QCOMPARE(shown(), QStringLiteral("f03.url"));
        }
        QCOMPARE(h.rowTexts().indexOf("f03.url"), 56);  // by "Comment", descending
        QCOMPARE(h.child<QPlainTextEdit>("Text5")->toPlainText(), QStringLiteral("edited"));
    }

    void keywordBoxOffersButNeverCompletesInPlace() {
        Harness h;
        h.setting("KeyWords", "W0", "Debian");
        h.setting("KeyWords", "W1", "Ubuntu");
        brim::test::writeShortcut(h.root + "Debian.url", "http://debian.example/");
        brim::test::writeShortcut(h.root + "Debts.url", "http://debts.example/");
        h.start();
        h.activate();
        QAbstractItemView* popup = h.combo()->completer()->popup();
        h.combo()->setFocus();
        h.typeText("Deb");
        QCOMPARE(h.combo()->currentText(), QStringLiteral("Deb"));
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->model()->rowCount(), 1);
        QCOMPARE(popup->model()->index(0, 0).data().toString(), QStringLiteral("Debian"));
        h.press(Qt::Key_Return);
        QVERIFY(!popup->isVisible());
        QCOMPARE(h.combo()->currentText(), QStringLiteral("Deb"));
        QCOMPARE(h.rowTexts(), QStringList({"Debian.url", "Debts.url"}));
        QCOMPARE(h.comboTexts(), QStringList({"Debian", "Ubuntu", "Deb"}));

        // An offer is taken only when chosen.
        h.combo()->setFocus();
        h.combo()->clearEditText();
        h.typeText("bu");
        QCOMPARE(popup->model()->index(0, 0).data().toString(), QStringLiteral("Ubuntu"));
        h.press(Qt::Key_Down);
        h.press(Qt::Key_Return);
        QCOMPARE(h.combo()->currentText(), QStringLiteral("Ubuntu"));
        QCOMPARE(h.count(), QStringLiteral("ファイル数: 0"));
        h.combo()->clearEditText();
        h.typeText("u");
        QVERIFY(popup->isVisible());
        h.typeText("x");
        QVERIFY(!popup->isVisible());  // nothing fits "ux"
    }

    void searchByEnterAndGo() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://news.example/", "daily");
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "sport");
        Form1& f = h.start();
        QTest::keyClicks(h.combo()->lineEdit(), "news");
        QTest::keyClick(h.combo()->lineEdit(), Qt::Key_Return);
        QCOMPARE(h.rowTexts(), QStringList({"a.url"}));
        QCOMPARE(h.comboTexts(), QStringList({"news"}));
        QCOMPARE(h.combo()->currentText(), QStringLiteral("news"));  // kept through the refill
        // A single match with Auto Copy on hands the focus to "開く".
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(h.button("Command4")));
        h.combo()->setEditText("sport");
        QTest::mouseClick(h.button("Command8"), Qt::LeftButton);
        QCOMPARE(h.rowTexts(), QStringList({"b.url"}));
        QTest::mouseClick(h.button("Command10"), Qt::LeftButton);  // to the compact strip
        h.combo()->setEditText("a.url");
        QTest::mouseClick(h.child<QPushButton>("Command11"), Qt::LeftButton);
        QCOMPARE(h.rowTexts(), QStringList({"a.url"}));
        QCOMPARE(h.opener.opened, QStringList({"http://news.example/"}));
    }

    void saveByButtonAndShortcutAndDeleteAsks() {
        Harness h;
        Form1& f = h.start();
        h.edit("Text3")->setText("first");
        h.edit("Text4")->setText("http://f/");
        h.child<QPlainTextEdit>("Text5")->setPlainText(QStringLiteral("毎日\n読む"));
        QTest::mouseClick(h.button("Command7"), Qt::LeftButton);
        QVERIFY(brim::test::readFile(h.root + "first.url")
                    .find("Words=" + brim::test::cp932("毎日 読む")) != std::string::npos);
        h.edit("Text3")->clear();
        h.edit("Text4")->setText("portal.test");
        h.edit("Text6")->setText("New");
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keySequence(&f, QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "New/portal.test.url")));
        QCOMPARE(h.edit("Text3")->text(), QStringLiteral("portal.test"));

        h.edit("Text2")->setText("\\New\\");
        h.prompts.confirmAnswers = {false};
        QTest::mouseClick(h.button("Command5"), Qt::LeftButton);
        QCOMPARE(h.prompts.shown.back(),
                 std::string("「portal.test.url」をごみ箱に移動しますか？"));
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "New/portal.test.url")));
        h.action("Mdelete")->trigger();
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + "New/portal.test.url")));
    }

    void menuItemsReachTheirCommands() {
        Harness h;
        brim::test::writeShortcut(h.root + "a.url", "http://a/");
        brim::test::makeFolders(h.root + "Empty");
        brim::test::makeFolders(h.folders.desktop());
        h.start();
        h.prompts.inputAnswers = {"page", "list", "marks"};
        h.action("mkHTML")->trigger();
        h.action("toCSV")->trigger();
        h.action("toBookmarks")->trigger();
        for (const char* file : {"page.html", "list.csv", "marks.html"})
            QVERIFY(QFile::exists(QString::fromStdString(h.folders.desktop() + file)));
        h.edit("Text4")->setText("http://open.example/");
        h.action("openurl")->trigger();
        QCOMPARE(h.opener.opened.last(), QStringLiteral("http://open.example/"));
        h.action("ophelp")->trigger();
        QCOMPARE(h.prompts.shown.back(), std::string("ファイルのパスが見つかりません。"));
        h.action("delfolder")->trigger();
        QCOMPARE(h.list()->model()->headerData(0, Qt::Horizontal).toString(), "Deleted Folders");
        QVERIFY(!QFile::exists(QString::fromStdString(h.root + "Empty")));
    }

    void windowsTreeIsListedWithNamesDecodedAndFixedFromTheMenu() {
        Harness h;
        const auto tree = brim::test::makeWindowsTree(h.root);
        h.start();
        QCOMPARE(h.rowTexts().size(), static_cast<qsizetype>(tree.size()));
        QVERIFY(h.rowTexts().contains(QStringLiteral("表示.url")));
        QVERIFY(h.rowTexts(1).contains(QStringLiteral("\\日本語\\")));
        QVERIFY(!h.rowTexts().contains(QStringLiteral("desktop.ini")));
        // Told once, when the fill has ended, with the menu item that fixes the names.
        QCOMPARE(h.prompts.shown.size(), std::size_t{1});
        QVERIFY(h.prompts.shown[0].find(brim::app::kFixNamesCaption) != std::string::npos);
        QVERIFY(h.action("fixNames")
                    ->text()
                    .startsWith(QString::fromUtf8(brim::app::kFixNamesCaption)));
        h.prompts.confirmAnswers = {true};
        h.action("fixNames")->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(h.root + "日本語/表示.url")));
        QCOMPARE(h.rowTexts().size(), static_cast<qsizetype>(tree.size()));
    }

    void searchOptionsDialogBindsItsControls() {
        Harness h;
        brim::test::writeShortcut(h.root + "News/a.url", "http://a/", "");
        brim::test::writeShortcut(h.root + "b.url", "http://b/", "News");
        h.setting("SerchCond", "check2", " 12");
        Form1& f = h.start();
        h.action("setKEYWORD")->trigger();
        auto* o = h.child<QDialog>("Form3");
        QVERIFY(o->isVisible());
        QCOMPARE(o->windowTitle(), QStringLiteral("キーワード検索のオプション"));
        QCOMPARE(h.child<QCheckBox>("Check2", o)->checkState(), Qt::PartiallyChecked);
        h.child<QCheckBox>("Check2", o)->click();  // a click ends the grayed state
        QCOMPARE(h.child<QCheckBox>("Check2", o)->checkState(), Qt::Checked);
        h.child<QCheckBox>("Check5", o)->click();  // comment off, at once
        h.combo()->setEditText("News");
        QTest::mouseClick(h.button("Command8"), Qt::LeftButton);
        QCOMPARE(h.rowTexts(), QStringList({"a.url"}));
        h.child<QRadioButton>("Option2", o)->click();
        QTest::mouseClick(h.child<QPushButton>("Command1", o), Qt::LeftButton);
        QVERIFY(!o->isVisible());
        QCOMPARE(h.setting("SerchCond", "check2"), std::string("11"));
        QCOMPARE(h.setting("SerchCond", "check5"), std::string("10"));
        QCOMPARE(h.setting("SerchCond", "option1"), std::string("10"));
        (void)f;
    }

    void fixedKeywordsDialogKeepsTheKeywordBox() {
        Harness h;
        h.setting("KeyWords", "W0", "old");
        h.start();
        h.action("PKEYS")->trigger();
        auto* d = h.child<QDialog>("Form2");
        QVERIFY(d->isVisible());
        auto* text1 = h.child<QLineEdit>("Text1", d);
        QCOMPARE(d->focusWidget(), static_cast<QWidget*>(text1));
        QTest::keyClicks(text1, "fixed");
        QTest::mouseClick(h.child<QPushButton>("Command1", d), Qt::LeftButton);
        QVERIFY(text1->text().isEmpty());
        QCOMPARE(h.comboTexts(), QStringList({"fixed", "old"}));
        auto* list1 = h.child<QListWidget>("List1", d);
        QCOMPARE(list1->count(), 1);
        QTest::mouseClick(list1->viewport(), Qt::LeftButton, {},
                          list1->visualItemRect(list1->item(0)).center());
        QCOMPARE(text1->text(), QStringLiteral("fixed"));
        QTest::mouseClick(h.child<QPushButton>("Command3", d), Qt::LeftButton);
        QCOMPARE(list1->count(), 0);
        QCOMPARE(h.comboTexts(), QStringList({"old"}));
        QTest::mouseClick(h.child<QPushButton>("Command2", d), Qt::LeftButton);
        QVERIFY(!d->isVisible());
        h.action("clearKey")->trigger();
        QCOMPARE(h.comboTexts(), QStringList());
    }

    void dialogsTabInTheirFormsOrder() {
        Harness h;
        h.start();
        const struct {
            const char* menuItem;
            const char* dialog;
            QStringList order;  // from the first control round to it again
        } cases[] = {
            {"PKEYS", "Form2", {"List1", "Text1", "Command1", "Command2", "Command3", "List1"}},
            {"setKEYWORD",
             "Form3",
             {"Command1", "Check2", "Check3", "Check4", "Check5", "Check1", "Option1", "Command1"}},
        };
        for (const auto& c : cases) {
            h.action(c.menuItem)->trigger();
            auto* d = h.child<QDialog>(c.dialog);
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            h.child<QWidget>(qPrintable(c.order.first()), d)->setFocus();
            // The window that closed before may take the activation a moment later.
            QTRY_COMPARE(h.focusName(), c.order.first());
            QStringList seen = {h.focusName()};
            for (int i = 1; i < c.order.size(); ++i) {
                h.press(Qt::Key_Tab);
                seen << h.focusName();
            }
            QCOMPARE(seen, c.order);
            d->hide();
        }
    }

    void autoCopyAndHtmlDialogsStoreTheirBoxes() {
        Harness h;
        h.pages.pages = {{"Only page", "https://only.example/", "Google Chrome"}};
        h.setting("HTMLCond", "check1", " 11");
        h.start();
        h.action("autoCP")->trigger();
        auto* a = h.child<QDialog>("Form7");
        QCOMPARE(a->windowTitle(), QStringLiteral("Auto Copyの設定"));
        h.child<QCheckBox>("Check1", a)->click();  // off, without OK: the next capture follows
        h.edit("Text3")->clear();
        QTest::mouseClick(h.button("Command6"), Qt::LeftButton);
        QCOMPARE(h.edit("Text3")->text(), QString());
        QTest::mouseClick(h.child<QPushButton>("Command1", a), Qt::LeftButton);
        QVERIFY(!a->isVisible());
        QCOMPARE(h.setting("AutoCopy", "IE"), std::string("10"));
        QCOMPARE(h.setting("AutoCopy", "File"), std::string("11"));

        h.action("setHTML")->trigger();
        auto* o = h.child<QDialog>("Form4");
        QVERIFY(o->isVisible());
        QVERIFY(h.child<QCheckBox>("Check1", o)->isChecked());
        QVERIFY(!h.child<QCheckBox>("Check3", o)->isChecked());
        h.child<QCheckBox>("Check2", o)->click();
        h.child<QCheckBox>("Check3", o)->click();
        QTest::mouseClick(h.child<QPushButton>("Command1", o), Qt::LeftButton);
        QVERIFY(!o->isVisible());
        QCOMPARE(h.setting("HTMLCond", "check1"), std::string("11"));
        QCOMPARE(h.setting("HTMLCond", "check2"), std::string("10"));
        QCOMPARE(h.setting("HTMLCond", "check3"), std::string("11"));
    }

    void shortcutAndAboutDialogs() {
        Harness h;
        brim::test::makeFolders(h.folders.desktop());
        brim::test::makeFolders(h.folders.sendTo());
        Form1& f = h.start();
        h.action("mkstcut")->trigger();
        auto* d = h.child<QDialog>("Form5");
        QVERIFY(d->isVisible());
        h.child<QCheckBox>("Check1", d)->click();  // the Desktop only
        QTest::mouseClick(h.child<QPushButton>("Command1", d), Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QVERIFY(QFile::exists(QString::fromStdString(h.folders.desktop() + "Brimmark.desktop")));
        QVERIFY(!QFile::exists(QString::fromStdString(h.folders.sendTo() + "Brimmark.desktop")));
        h.action("mkstcut")->trigger();
        QTest::mouseClick(h.child<QPushButton>("Command2", d), Qt::LeftButton);
        QVERIFY(!d->isVisible());

        h.action("showV")->trigger();
        auto* about = h.child<QDialog>("Form6");
        QVERIFY(about->isVisible());
        QCOMPARE(h.child<QLabel>("Label1", about)->text(), f.windowTitle());
        QVERIFY(!h.child<QLabel>("Label3", about)->text().isEmpty());
        emit h.child<QLabel>("Label2", about)->linkActivated({});
        QCOMPARE(h.opener.opened.last(), QString(brim::app::kHomePage));
        QVERIFY(!about->isVisible());
        h.action("showV")->trigger();
        QTest::mouseClick(h.child<QPushButton>("Command1", about), Qt::LeftButton);
        QVERIFY(!about->isVisible());
    }

    void menuHasEveryItemInOrder() {
        Harness h;
        Form1& f = h.start();
        QStringList names;
        QStringList captions;  // without their access keys
        // Japanese style: the key in parentheses after the caption, once per menu.
        static const QRegularExpression keyed(R"(^(.+)\(&([A-Z])\)$)");
        const auto caption = [](QAction* a, QSet<QString>& keys) {
            const QRegularExpressionMatch m = keyed.match(a->text());
            if (!m.hasMatch() || keys.contains(m.captured(2))) return "no key: " + a->text();
            keys.insert(m.captured(2));
            return m.captured(1);
        };
        QSet<QString> barKeys;
        for (QAction* menu : f.menuBar()->actions()) {
            names << menu->menu()->objectName();
            captions << caption(menu, barKeys);
            QSet<QString> itemKeys;
            for (QAction* a : menu->menu()->actions()) {
                names << a->objectName();
                if (!a->isSeparator()) captions << caption(a, itemKeys);
            }
        }
        // clang-format off
        QCOMPARE(captions, QStringList({
            "ファイル", "URL保存", "URL削除", "空きフォルダを削除", "ファイル名をUTF-8に変換",
            "URLを開く", "HTMLを作成",
            "ブラウザからインポート", "終了",
            "設定", "Auto Copy", "HTML出力内容", "キーワード検索の設定", "常時前面表示",
            "入力中に検索", "一覧をキャッシュに保存",
            "キーワード履歴の初期化", "固定キーワードの登録",
            "その他", "CSVファイルに出力", "ブラウザ用ブックマークに出力",
            "Brimmark のショートカット作成", "リンクの確認", "リンク切れをごみ箱に移動",
            "移動したリンクを更新", "重複の一覧", "重複から選択中だけを残す",
            "ヘルプ", "HELPファイルを開く", "バージョン情報"}));
        QCOMPARE(names, QStringList({
            "filemenu", "savemenu", "Mdelete", "delfolder", "fixNames", "line04", "openurl",
            "mkHTML",
            "importmenu", "line01", "exitprogram",
            "Msearch", "autoCP", "setHTML", "setKEYWORD", "everfront", "typesearch", "rowcache",
            "line02",
            "clearKey",
            "PKEYS",
            "other", "toCSV", "toBookmarks", "line03", "mkstcut", "line05", "checkLinks",
            "trashGone", "updateMoved", "duplicates", "keepOne",
            "uhelp", "ophelp", "showV"}));
        // clang-format on
        QCOMPARE(h.action("savemenu")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
