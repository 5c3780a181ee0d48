#pragma once
// The About box.

#include <QDialog>

#include "platform/Opener.h"
#include "ui/Dialogs.h"

class QLabel;
class QPushButton;

namespace brim::ui {

inline constexpr const char* kHomePage = "https://brimmark.example/";
inline constexpr const char* kMail = "support@brimmark.example";

class Form6 final : public QDialog {
    Q_OBJECT
  public:
    Form6(const QString& mainTitle, const QIcon& icon, platform::Opener& opener, Dialogs& dialogs,
          QWidget* parent);

    void Label2_Click();    // opens the home page
    void Command1_Click();  // OK

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command1 = nullptr;

  private:
    platform::Opener& opener_;
    Dialogs& dialogs_;
};

}  // namespace brim::ui
