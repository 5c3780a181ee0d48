#include "ui/FormWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <climits>

#include "ui/CheckBox.h"
#include "ui/Icons.h"
#include "ui/Layout.h"

namespace brim::ui {

void ResultListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && before.isValid()) {
        event->accept();
        entered(before.row());
        return;
    }
    QTreeView::keyPressEvent(event);
    const QModelIndex now = currentIndex();
    if (now.isValid() && (!before.isValid() || now.row() != before.row())) {
        movedByKey(now.row());
    }
}

namespace {

QRect twips(const app::Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

// A label that works its check box when clicked.
class ClickLabel final : public QLabel {
  public:
    ClickLabel(const QString& text, QCheckBox* box) : QLabel(text), box_(box) {}

  protected:
    void mouseReleaseEvent(QMouseEvent*) override { box_->click(); }

  private:
    QCheckBox* box_;
};

// A check box's square, as wide as the form gives it.
constexpr int kCheckTwips = 300;
// A long caption wraps beside its box, a line's half higher and lower.
constexpr int kWrapTwips = 60;

QWidget* make(const app::Control& c, QWidget* parent) {
    const QString caption = QString::fromUtf8(c.caption);
    QWidget* w = nullptr;
    switch (c.kind) {
        case app::Kind::Line: {
            auto* line = new QFrame;
            line->setFrameShape(QFrame::HLine);
            w = line;
            break;
        }
        case app::Kind::Frame: {
            auto* frame = new QFrame;
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            w = frame;
            break;
        }
        case app::Kind::Label:
            w = new QLabel(caption);
            break;
        case app::Kind::WrappedLabel: {
            auto* label = new QLabel(caption);
            label->setWordWrap(true);
            w = label;
            break;
        }
        case app::Kind::SmallLabel: {
            auto* label = new QLabel(caption);
            label->setWordWrap(true);
            // The form's labels are narrow; a smaller face keeps their words whole.
            QFont f = label->font();
            f.setPixelSize(10);
            label->setFont(f);
            w = label;
            break;
        }
        case app::Kind::Image: {
            auto* image = new QLabel;
            image->setPixmap(programIcon().pixmap(32, 32));
            w = image;
            break;
        }
        case app::Kind::Link: {
            auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(caption));
            // The link is opened by the program's own opener, like every
            // address; Tab reaches it, and Enter opens it, as a click does.
            link->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
            w = link;
            break;
        }
        case app::Kind::Button:
            w = new QPushButton(caption);
            break;
        case app::Kind::PictureButton: {
            auto* b = new QToolButton;
            b->setText(caption);
            b->setIcon(makeIcon(c.icon, c.icon == app::Icon::Open));
            b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                    : Qt::ToolButtonTextUnderIcon);
            w = b;
            break;
        }
        case app::Kind::KeywordBox: {
            auto* combo = new QComboBox;
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            w = combo;
            break;
        }
        case app::Kind::ResultList: {
            auto* list = new ResultListView;
            list->setRootIsDecorated(false);
            list->setItemsExpandable(false);
            list->setUniformRowHeights(true);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->header()->setStretchLastSection(false);
            list->header()->setSectionsClickable(true);
            w = list;
            break;
        }
        case app::Kind::ListBox:
            w = new QListWidget;
            break;
        case app::Kind::Edit: {
            auto* edit = new QLineEdit(caption);
            if (c.hint) edit->setPlaceholderText(QString::fromUtf8(c.hint));
            w = edit;
            break;
        }
        case app::Kind::DropDownList:
            w = new QComboBox;
            break;
        case app::Kind::ProgressBar:
            w = new QProgressBar;
            break;
        case app::Kind::MultiLineEdit: {
            auto* edit = new QPlainTextEdit(caption);
            // Tab leaves the box as it leaves every other one; a comment is one line on disk.
            edit->setTabChangesFocus(true);
            w = edit;
            break;
        }
        case app::Kind::CheckBox:
            return makeCheckBox(caption, parent, c.name, twips(c.place), true);
        case app::Kind::LongCheckBox: {
            // The caption wraps in a label beside the box; a click on it works the box.
            const app::Rect& r = c.place;
            QCheckBox* check = makeCheckBox(
                {}, parent, c.name,
                {r.left, r.top + kWrapTwips, kCheckTwips, r.height - 2 * kWrapTwips}, true);
            auto* label = new ClickLabel(caption, check);
            label->setWordWrap(true);
            place(label, parent, "",
                  {r.left + kCheckTwips, r.top, r.width - kCheckTwips, r.height});
            return check;
        }
        case app::Kind::Option:
            w = new QRadioButton(caption);
            break;
    }
    place(w, parent, c.name, twips(c.place));
    return w;
}

}  // namespace

void FormWidgets::build(const app::Form& form, QWidget* parent) {
    form_ = &form;
    widgets_.clear();
    for (const app::Control& c : form.controls)
        widgets_[c.id] = make(c, parent);
    QWidget* previous = nullptr;
    for (const app::Control* c : app::tabOrder(form, INT_MAX)) {
        QWidget* w = widgets_.at(c->id);
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

FormDialog::FormDialog(const app::Form& form, QWidget* parent) : QDialog(parent), form_(form) {
    setObjectName(form.name);
    setWindowTitle(QString::fromUtf8(form.caption));
    setFixedSize(twipsToPixels(QSize(form.client.width, form.client.height)));
    controls_.build(form, this);
}

void FormDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (form_.focus) controls_[form_.focus]->setFocus();
}

void FormWidgets::forEach(const std::function<void(const app::Control&, QWidget*)>& f) const {
    if (!form_) return;
    for (const app::Control& c : form_->controls)
        f(c, widgets_.at(c.id));
}

}  // namespace brim::ui
