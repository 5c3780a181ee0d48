// Draws the window, its three modes with their menus, each dialog and the
// input box into PNG files for the help document:
//   brimmark-doc-images FAVORITES OUTPUT_FOLDER
// Run with a copy of the sample tree; the settings go beside this program.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <cstdio>
#include <functional>
#include <string>

#include "app/SystemServices.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "ui/Translations.h"

namespace {

bool save(QWidget& w, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = folder + "/" + name;
    if (!w.grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Runs `open`, which shows a modal dialog and waits for it; the dialog is
// drawn once it shows and then cancelled. A message box in its stead (an
// empty list has nothing to export) is cancelled too, and counts as failed.
bool saveModal(const QString& folder, const char* name, const std::function<void()>& open) {
    bool ok = false;
    int polls = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!shown && ++polls < 200) return;
        poll.stop();
        if (!shown) {
            std::fprintf(stderr, "%s: no dialog showed\n", name);
        } else if (qobject_cast<QMessageBox*>(shown)) {
            std::fprintf(stderr, "%s: a message showed instead\n", name);
            shown->reject();
        } else {
            ok = save(*shown, folder, name);
            shown->reject();
        }
    });
    poll.start(10);
    open();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    brim::ui::installJapaneseTranslations(app);
    if (argc != 3) {
        std::fprintf(stderr, "usage: brimmark-doc-images FAVORITES OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("BRIMMARK_FAVORITES", argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const auto system = brim::app::makeSystemServices();
    brim::ui::QtPrompts prompts;
    brim::ui::Form1 form(brim::app::servicesOf(*system), prompts);
    prompts.setParentWidget(&form);
    form.startUp({});
    // Each picture shows a list whose fill has ended.
    form.rules().finishFill();
    bool ok = save(form, out, "main-window.png");

    // Each mode as the mode button sets it, with each of its menus open (what
    // the mode greys), then back to the stored one.
    const auto stored = form.rules().winMode();
    const char* modes[] = {"mode1-compact", "mode2-list", "mode3-full"};
    for (int mode = 0; mode < 3; ++mode) {
        form.rules().setWinMode(mode);
        form.rules().SetWmode();
        ok = save(form, out, (std::string(modes[mode]) + ".png").c_str()) && ok;
        for (QAction* a : form.menuBar()->actions()) {
            QMenu* menu = a->menu();
            menu->popup(form.mapToGlobal(QPoint(0, 0)));
            const std::string name =
                std::string(modes[mode]) + "-" + menu->objectName().toStdString() + ".png";
            ok = save(*menu, out, name.c_str()) && ok;
            menu->hide();
        }
    }
    form.rules().setWinMode(stored);
    form.rules().SetWmode();

    form.findChild<QComboBox*>("Combo1")->setEditText(QStringLiteral("ニュース"));
    form.findChild<QToolButton*>("Command8")->click();
    form.rules().finishFill();
    auto* list = form.findChild<QTreeView*>("ListView1");
    list->setCurrentIndex(list->model()->index(1, 0));
    form.rules().ListView1_Click(1);
    ok = save(form, out, "search.png") && ok;
    // The input box, as the CSV export of the found favorites asks for the
    // file's name; cancelled, it writes nothing.
    ok = saveModal(out, "input-box.png", [&] { form.findChild<QAction*>("toCSV")->trigger(); }) &&
         ok;

    form.findChild<QToolButton*>("Command1")->click();
    form.rules().finishFill();
    ok = save(form, out, "folders.png") && ok;

    // The modes' pictures come from the window under a window manager
    // (tests/wm/check_window_frame.sh), frame and all.

    // Each dialog as its menu item opens it.
    const auto dialog = [&](const char* item, const char* name, const char* file) {
        form.findChild<QAction*>(item)->trigger();
        auto* d = form.findChild<QDialog*>(name);
        if (!d) return false;
        d->show();
        const bool saved = save(*d, out, file);
        // Closed, so that a modal one leaves the next one the window.
        d->close();
        return saved;
    };
    ok = dialog("setKEYWORD", "Form3", "form3-search-options.png") && ok;
    for (const char* k : {"ニュース", "天気"})
        form.rules().keywords().registerFixed(k);
    ok = dialog("PKEYS", "Form2", "form2-fixed-keywords.png") && ok;
    ok = dialog("setHTML", "Form4", "form4-html-options.png") && ok;
    ok = dialog("mkstcut", "Form5", "form5-shortcuts.png") && ok;
    ok = dialog("showV", "Form6", "form6-about.png") && ok;
    ok = dialog("autoCP", "Form7", "form7-auto-copy.png") && ok;
    ok = dialog("importmenu", "Form8", "form8-import.png") && ok;
    return ok ? 0 : 1;
}
