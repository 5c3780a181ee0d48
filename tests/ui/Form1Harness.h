#pragma once
// One main window over its own temporary Favorites folder and settings, and
// the ways the Qt Tests reach its controls.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "TestSupport.h"
#include "app/Prompts.h"
#include "core/Profile.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "ui/Form1.h"

namespace brim::uitest {

using brim::ui::Form1;

// Records what the window asks the desktop to open; opens nothing.
struct RecordingOpener final : brim::platform::Opener {
    QStringList opened;
    std::string open(const std::string& target) override {
        opened << QString::fromStdString(target);
        return {};
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
    brim::test::NoBrowsers browsers;
    brim::app::ScriptedPrompts prompts;
    brim::core::Profile profile{fs, cp, folders};
    std::string root = folders.favorites();
    std::unique_ptr<Form1> form;

    Harness() { brim::test::makeFolders(root); }

    Form1& start(const QString& argument = {}) {
        form.reset();
        form = std::make_unique<Form1>(brim::app::Services{fs, cp, folders, caseMapper, opener,
                                                           pages, trash, shortcuts, browsers},
                                       prompts);
        form->startUp(argument);
        settle();
        return *form;
    }
    // The running fill ends and its rows are shown.
    void settle() { form->rules().finishFill(); }
    void setting(std::string_view section, std::string_view key, std::string_view value) {
        QVERIFY(profile.WriteSetting(section, key, value));
    }
    std::string setting(std::string_view section, std::string_view key) {
        return profile.ReadSetting(section, key);
    }
    template <typename T>
    T* child(const char* name, QObject* in = nullptr) {
        T* found = (in ? in : form.get())->findChild<T*>(name);
        if (!found) qFatal("no control %s", name);
        return found;
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    QToolButton* button(const char* name) { return child<QToolButton>(name); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QComboBox* combo() { return child<QComboBox>("Combo1"); }
    QTreeView* list() { return child<QTreeView>("ListView1"); }
    QString count() {
        settle();
        return child<QLabel>("Label7")->text();
    }
    // The window's outer size, frame included (the offscreen frame is 2 pixels wide).
    QSize sizeTwips() { return form->frameGeometry().size() * 15; }
    bool onTop() { return form->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

    QStringList rowTexts(int column = 0) {
        settle();
        QStringList out;
        const QAbstractItemModel* m = list()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, column).data().toString();
        return out;
    }
    void clickRow(int row, bool twice = false) {
        settle();
        QTreeView* view = list();
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    void clickHeader(int column1) {
        settle();
        QHeaderView* header = list()->header();
        const int x =
            header->sectionViewportPosition(column1 - 1) + header->sectionSize(column1 - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    QStringList comboTexts() {
        QStringList out;
        for (int i = 0; i < combo()->count(); ++i)
            out << combo()->itemText(i);
        return out;
    }
    // Where a key the user presses goes: to the open popup, else to the focus.
    QWidget* keyTarget() {
        QWidget* to = QApplication::activePopupWidget();
        if (!to) to = QApplication::focusWidget();
        if (!to) qFatal("no widget has the focus");
        return to;
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(keyTarget(), key, modifiers);
    }
    void typeText(const QString& text) {
        for (const QChar c : text)
            QTest::keyClicks(keyTarget(), QString(c));
    }
    QString focusName() {
        const QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
    // The window shown and active, so that focus and keys reach it.
    void activate() {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
};

}  // namespace brim::uitest
