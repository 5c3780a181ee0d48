// Drives the import dialog offscreen through its real controls.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "app/Prompts.h"
#include "core/Profile.h"
#include "platform/posix/IconvCodePage.h"
#include "ui/Form8Import.h"

namespace {

struct Harness {
    brim::test::TempDir dir;
    brim::test::TestFolders folders{dir};
    brim::test::FlakyFileSystem fs;
    brim::platform::IconvCodePage cp{"CP932"};
    brim::core::Profile profile{fs, cp, folders};
    std::string root = folders.favorites();
    brim::core::Catalog catalog{fs, profile, root};
    brim::test::NoBrowsers browsers;
    brim::app::ScriptedPrompts dialogs;
    brim::ui::Form8 form{catalog, browsers, dialogs, nullptr};
};

const char* const kFile =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
    "<DT><A HREF=\"http://a/\">A</A>\n<DD>一つ目\n"
    "<DT><H3>Sub</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n</DL><p>\n"
    "<DT><A HREF=\"http://a/\">A again</A>\n"
    "</DL><p>\n";

}  // namespace

class Form8Test : public QObject {
    Q_OBJECT
  private slots:
    void importsAFileIntoTheProposedFolder() {
        Harness h;
        brim::test::makeFolders(h.root);
        brim::test::writeFile(h.dir / "mine.html", kFile);
        QCOMPARE(h.form.Text2->text(), QStringLiteral("\\Firefox\\"));
        h.form.Combo1->setCurrentIndex(3);
        QTest::keyClicks(h.form.Text1, QString::fromStdString(h.dir / "mine.html"));
        // The folder follows the source and the file until the user types one.
        QCOMPARE(h.form.Text2->text(), QStringLiteral("\\mine\\"));
        QTest::mouseClick(h.form.Command1, Qt::LeftButton);
        QVERIFY(h.dialogs.shown.empty());
        QCOMPARE(h.form.ProgressBar1->maximum(), 3);
        QCOMPARE(h.form.ProgressBar1->value(), 3);
        QVERIFY(h.form.Label4->text().contains(QStringLiteral("取り込み: 2 件")));
        QVERIFY(h.form.Label4->text().contains(QStringLiteral("重複のため省略: 1 件")));
        QCOMPARE(QString::fromStdString(h.profile.ReadShortcutComment(h.root + "mine/A.url")),
                 QStringLiteral("一つ目"));
        QCOMPARE(h.profile.ReadShortcutUrl(h.root + "mine/Sub/B.url"), std::string("http://b/"));
    }

    void aTypedFolderStaysAndADamagedFileWritesNothing() {
        Harness h;
        brim::test::makeFolders(h.root);
        const std::string whole = kFile;
        brim::test::writeFile(h.dir / "cut.html", whole.substr(0, whole.size() / 2));
        h.form.Text2->setText(QStringLiteral("\\Mine\\"));
        h.form.Combo1->setCurrentIndex(3);
        h.form.Text1->setText(QString::fromStdString(h.dir / "cut.html"));
        QCOMPARE(h.form.Text2->text(), QStringLiteral("\\Mine\\"));
        h.form.Command1_Click();
        QCOMPARE(h.dialogs.shown.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(h.dialogs.shown.front())
                    .contains(QStringLiteral("何も取り込んでいません")));
        QVERIFY(!h.fs.attributes(h.root + "Mine"));
    }

    void aBrowserWithoutProfilesIsSaid() {
        Harness h;
        h.form.Command1_Click();
        QCOMPARE(h.dialogs.shown.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(h.dialogs.shown.front()).contains("Firefox"));
    }
};

QTEST_MAIN(Form8Test)
#include "Form8Test.moc"
