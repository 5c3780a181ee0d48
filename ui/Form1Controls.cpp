// The main window's controls and menu, made from the form's table and wired
// to the window's rules.

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QStringListModel>
#include <QTimer>
#include <QToolButton>

#include "app/Commands.h"
#include "core/KeywordLists.h"
#include "ui/Form1.h"
#include "ui/Form2FixedKeywords.h"
#include "ui/Form3SearchOptions.h"
#include "ui/Form4ExportOptions.h"
#include "ui/Form5Shortcuts.h"
#include "ui/Form6About.h"
#include "ui/Form7AutoCopy.h"
#include "ui/Form8Import.h"
#include "ui/Form9LinkCheck.h"

namespace brim::ui {
namespace {

// The entries the rules offer for what is being typed, shown as they come:
// no second filter by the typed text, and never completed in place.
class KeywordOffers final : public QCompleter {
  public:
    explicit KeywordOffers(QObject* parent) : QCompleter(new QStringListModel(parent), parent) {
        setCompletionMode(QCompleter::PopupCompletion);
        // Exact, as the keyword list compares: the box then never swaps the
        // typed text for an entry that differs in case.
        setCaseSensitivity(Qt::CaseSensitive);
        setMaxVisibleItems(static_cast<int>(core::kMaxKeywords));
    }
    QStringList splitPath(const QString&) const override { return {QString()}; }
};

}  // namespace

void Form1::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("central");
    setCentralWidget(central);
    controls_.build(app::mainForm(), central);

    QComboBox* combo = control<QComboBox>(app::Id::Combo1);
    keywordOffers_ = new KeywordOffers(combo);
    combo->setCompleter(keywordOffers_);
    auto* list = control<ResultListView>(app::Id::ListView1);
    list->movedByKey = [this](int row) { window_.ListView1_KeyMove(row); };
    list->entered = [this](int row) { window_.ListView1_Enter(row); };
    list->setModel(&model_);

    // What follows an enlarged window; the rest keeps its place in the form.
    following_.clear();
    controls_.forEach([this](const app::Control& c, QWidget* w) {
        if (c.follow != app::Follow::Stays) following_.push_back({w, w->geometry(), c.follow});
        if (c.command == app::Command::None) return;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            connect(button, &QAbstractButton::clicked, this,
                    [this, command = c.command] { app::run(command, window_, *this); });
        } else if (auto* box = qobject_cast<QComboBox*>(w)) {
            // Enter in the box runs its command.
            connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                    [this, command = c.command] { app::run(command, window_, *this); });
        }
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { window_.Combo1_Change(); });
    connect(list, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { window_.ListView1_Click(index.row()); });
    connect(list, &QTreeView::doubleClicked, this, [this] { window_.ListView1_DblClick(); });
    connect(list->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { window_.ListView1_ColumnClick(logical + 1); });
    connect(Timer1, &QTimer::timeout, this, [this] { window_.SaveWpos(); });
    // Esc stops a running fill or search; the rows found so far stay.
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stop->setObjectName("stopFill");
    connect(stop, &QShortcut::activated, this, [this] { window_.stopFill(); });
}

void Form1::buildMenu() {
    for (const app::Menu& menu : app::mainForm().menus) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(menu.caption));
        m->setObjectName(menu.name);
        for (const app::MenuItem& item : menu.items) {
            if (!item.caption) {
                m->addSeparator()->setObjectName(item.name);
                continue;
            }
            QAction* a = m->addAction(QString::fromUtf8(item.caption));
            a->setObjectName(item.name);
            if (item.ctrlKey) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(item.ctrlKey)));
            if (item.checkMark) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            connect(a, &QAction::triggered, this,
                    [this, command = item.command] { app::run(command, window_, *this); });
            actions_[item.id] = a;
        }
    }
}

void Form1::showDialog(app::Dialog dialog) {
    const auto show = [](QDialog& d) {
        d.show();
        d.raise();
    };
    switch (dialog) {
        case app::Dialog::Form2:
            show(form2());
            break;
        case app::Dialog::Form3:
            show(form3());
            break;
        case app::Dialog::Form4:
            form4().open();
            break;
        case app::Dialog::Form5:
            show(form5());
            break;
        case app::Dialog::Form6:
            show(form6());
            break;
        case app::Dialog::Form7:
            show(form7());
            break;
        case app::Dialog::Form8:
            show(form8());
            break;
        case app::Dialog::Form9: {
            // One for each check: its rules start the check as it opens.
            auto* form9 = new Form9(window_, this);
            connect(form9, &QDialog::finished, form9, &QObject::deleteLater);
            form9->open();
            break;
        }
    }
}

}  // namespace brim::ui
