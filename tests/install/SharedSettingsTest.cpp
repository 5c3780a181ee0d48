// The window and brimmark-cli, started in the same home, keep one settings
// file: the search options chosen in the window are the ones the CLI uses.

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "app/SystemServices.h"
#include "core/Profile.h"
#include "ui/Form3SearchOptions.h"

namespace {

// Runs the installed-layout CLI of this build with the process environment
// and returns how many favorites its JSON search result holds (-1 on failure).
int cliSearchCount(const std::string& text) {
    const std::string command =
        std::string("'") + BRIMMARK_CLI_PATH + "' --json search '" + text + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    if (pclose(pipe) != 0) return -1;
    int count = 0;
    for (std::size_t at = out.find("\"name\""); at != std::string::npos;
         at = out.find("\"name\"", at + 1))
        ++count;
    return count;
}

}  // namespace

class SharedSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // Neither program may find a portable copy beside itself, or this
        // would test that copy instead of the shared file.
        const auto beside = std::filesystem::path(BRIMMARK_CLI_PATH).parent_path() / "Brimmark.ini";
        QVERIFY2(!std::filesystem::exists(beside),
                 qPrintable(QString::fromStdString(beside.string()) +
                            " makes this CLI a portable copy; remove it"));
    }

    void windowOptionsReachTheCli_data() {
        QTest::addColumn<bool>("orSearch");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        // alpha holds "red", beta holds "blue".
        QTest::newRow("OR finds either") << true << true << "red blue" << 2;
        QTest::newRow("AND finds none") << false << true << "red blue" << 0;
        QTest::newRow("case folded") << true << true << "RED" << 1;
        QTest::newRow("case kept") << true << false << "RED" << 0;
    }

    void windowOptionsReachTheCli() {
        QFETCH(bool, orSearch);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, text);
        QFETCH(int, expected);

        brim::test::TempDir dir;
        brim::test::writeShortcut(dir / "fav/alpha.url", "http://a.example/", "red");
        brim::test::writeShortcut(dir / "fav/beta.url", "http://b.example/", "blue");
        setenv("HOME", (dir / "home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        setenv("BRIMMARK_FAVORITES", (dir / "fav").c_str(), 1);
        setenv("BRIMMARK_CODEPAGE", "CP932", 1);

        // The window's options dialog over the system's own services.
        const auto system = brim::app::makeSystemServices();
        const brim::core::Profile profile(*system->fs, *system->codePage, *system->folders);
        brim::app::ScriptedPrompts prompts;
        brim::app::SettingsWriter settings(profile, system->folders->settingsFile(), prompts);
        {
            brim::app::SearchOptionsDialog options(settings);
            brim::ui::Form3 form3(options, nullptr);
            form3.findChild<QRadioButton*>(orSearch ? "Option1" : "Option2")->click();
            QCheckBox* fold = form3.findChild<QCheckBox*>("Check1");
            if (fold->isChecked() != ignoreCase) fold->click();
            QTest::mouseClick(form3.findChild<QPushButton*>("Command1"), Qt::LeftButton);
            QVERIFY(prompts.shown.empty());
        }
        QVERIFY(std::filesystem::exists(dir / "home/.config/brimmark/Brimmark.ini"));
        QCOMPARE(cliSearchCount(text.toStdString()), expected);

        // The window, started again in that home, shows the same options.
        brim::app::SearchOptionsDialog stored(settings);
        brim::ui::Form3 again(stored, nullptr);
        QCOMPARE(again.findChild<QRadioButton*>("Option1")->isChecked(), orSearch);
        QCOMPARE(again.findChild<QCheckBox*>("Check1")->isChecked(), ignoreCase);
    }
};

QTEST_MAIN(SharedSettingsTest)
#include "SharedSettingsTest.moc"
