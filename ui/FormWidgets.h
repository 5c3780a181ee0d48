#pragma once
// Widgets made from a form's table: one of each control's kind, at its place,
// in the form's tab order, kept by id.

#include <QDialog>
#include <QTreeView>
#include <functional>
#include <map>

#include "app/FormTable.h"

namespace brim::ui {

// The result list, where the keyboard does what the mouse does.
class ResultListView final : public QTreeView {
  public:
    std::function<void(int)> movedByKey;  // the selection moved to a row
    std::function<void(int)> entered;     // Enter on a row

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class FormWidgets {
  public:
    // Makes every control of `form` in `parent`, and chains them in its tab order.
    void build(const app::Form& form, QWidget* parent);

    QWidget* operator[](int id) const { return widgets_.at(id); }
    template <class W>
    W* get(int id) const {
        return static_cast<W*>(widgets_.at(id));
    }
    // Each control with its widget, in the table's order.
    void forEach(const std::function<void(const app::Control&, QWidget*)>& f) const;

  private:
    const app::Form* form_ = nullptr;
    std::map<int, QWidget*> widgets_;
};

// A dialog made from its form's table: caption, fixed size and controls; the
// table's control takes the focus whenever the dialog shows.
class FormDialog : public QDialog {
  protected:
    FormDialog(const app::Form& form, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    template <class W>
    W* control(int id) const {
        return controls_.get<W>(id);
    }

  private:
    const app::Form& form_;
    FormWidgets controls_;
};

}  // namespace brim::ui
