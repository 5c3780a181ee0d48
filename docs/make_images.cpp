// Draws the window and each dialog into PNG files for the help document:
//   brimmark-doc-images FAVORITES OUTPUT_FOLDER
// Run with a copy of the sample tree; the settings go beside this program.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <cstdio>

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

    form.findChild<QComboBox*>("Combo1")->setEditText(QStringLiteral("ニュース"));
    form.findChild<QToolButton*>("Command8")->click();
    form.rules().finishFill();
    auto* list = form.findChild<QTreeView*>("ListView1");
    list->setCurrentIndex(list->model()->index(1, 0));
    form.rules().ListView1_Click(1);
    ok = save(form, out, "search.png") && ok;

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
        return save(*d, out, file);
    };
    ok = dialog("setKEYWORD", "Form3", "form3-search-options.png") && ok;
    for (const char* k : {"ニュース", "天気"})
        form.rules().keywords().registerFixed(k);
    ok = dialog("PKEYS", "Form2", "form2-fixed-keywords.png") && ok;
    ok = dialog("setHTML", "Form4", "form4-html-options.png") && ok;
    ok = dialog("mkstcut", "Form5", "form5-shortcuts.png") && ok;
    ok = dialog("showV", "Form6", "form6-about.png") && ok;
    ok = dialog("autoCP", "Form7", "form7-auto-copy.png") && ok;
    return ok ? 0 : 1;
}
