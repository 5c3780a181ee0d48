#pragma once
// "ブラウザからインポート": brings a browser's bookmarks, or a bookmark file,
// into the Favorites tree as new favorites.

#include <QDialog>

#include "app/Prompts.h"
#include "core/Catalog.h"
#include "core/import/Sources.h"
#include "platform/BrowserProfiles.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace brim::ui {

class Form8 final : public QDialog {
    Q_OBJECT
  public:
    Form8(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
          app::Prompts& prompts, QWidget* parent);

    void Command1_Click();  // インポート
    void Command3_Click();  // 参照…

    QComboBox* Combo1 = nullptr;  // the source
    QLineEdit* Text1 = nullptr;   // a file to read instead of the browser's own
    QLineEdit* Text2 = nullptr;   // the folder to import into
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label4 = nullptr;  // the summary
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

  private:
    core::import::Source source() const;
    // The target folder follows the source until the user types one.
    void proposeFolder();

    const core::Catalog& catalog_;
    const platform::BrowserProfiles& browsers_;
    app::Prompts& prompts_;
    QString proposed_;
};

}  // namespace brim::ui
