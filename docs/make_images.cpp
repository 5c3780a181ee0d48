// Draws the window and each dialog into PNG files for the help document:
//   brimmark-doc-images FAVORITES OUTPUT_FOLDER
// Run with a copy of the sample tree; the settings go beside this program.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTreeView>
#include <cstdio>

#include "platform/Services.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form4.h"
#include "ui/Form5.h"
#include "ui/Form6.h"
#include "ui/Form7.h"

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
    if (argc != 3) {
        std::fprintf(stderr, "usage: brimmark-doc-images FAVORITES OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("BRIMMARK_FAVORITES", argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const auto system = brim::platform::makeSystemServices();
    brim::ui::QtDialogs dialogs;
    brim::ui::Form1 form(brim::ui::servicesOf(*system, dialogs));
    form.startUp({});
    bool ok = save(form, out, "main-window.png");

    form.Combo1->setEditText(QStringLiteral("ニュース"));
    form.Command8_Click();
    form.ListView1->setCurrentIndex(form.listModel().index(1, 0));
    form.ListView1_Click();
    ok = save(form, out, "search.png") && ok;

    form.Command1_Click();
    ok = save(form, out, "folders.png") && ok;

    form.WinMode = 0;
    form.SetWmode();
    ok = save(form, out, "compact.png") && ok;
    form.WinMode = 2;
    form.SetWmode();

    form.form3().show();
    ok = save(form.form3(), out, "form3-search-options.png") && ok;
    form.form2().setFixedKeywords({"ニュース", "天気"});
    form.form2().show();
    ok = save(form.form2(), out, "form2-fixed-keywords.png") && ok;
    form.form4().show();
    ok = save(form.form4(), out, "form4-html-options.png") && ok;
    form.form5().show();
    ok = save(form.form5(), out, "form5-shortcuts.png") && ok;
    form.form6().show();
    ok = save(form.form6(), out, "form6-about.png") && ok;
    form.form7().show();
    ok = save(form.form7(), out, "form7-auto-copy.png") && ok;
    return ok ? 0 : 1;
}
