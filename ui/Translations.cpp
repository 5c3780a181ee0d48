#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace brim::ui {

bool installJapaneseTranslations(QCoreApplication& app) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    // Dates and numbers in Qt's dialogs follow the language of their words.
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(&app);
    if (!translator->load(japanese, "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace brim::ui
