#pragma once
// The About box (Form6): the program's title, mail address and home page.

#include <QDialog>

#include "app/Window.h"

namespace brim::ui {

class Form6 final : public QDialog {
    Q_OBJECT
  public:
    Form6(const QString& mainTitle, const QIcon& icon, app::Window& window, QWidget* parent);
};

}  // namespace brim::ui
