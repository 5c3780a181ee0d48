#pragma once
// Qt's own texts in Japanese.

class QCoreApplication;

namespace brim::ui {

// Loads Qt's Japanese translations into `app`, so that standard buttons and
// Qt's own dialogs speak the window's language whatever the session's is.
// False when they are not installed (Debian's qt6-translations-l10n).
bool installJapaneseTranslations(QCoreApplication& app);

}  // namespace brim::ui
