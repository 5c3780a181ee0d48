#include "ui/Form1.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

#include "ui/Form2FixedKeywords.h"
#include "ui/Form3SearchOptions.h"
#include "ui/Form4ExportOptions.h"
#include "ui/Form5Shortcuts.h"
#include "ui/Form6About.h"
#include "ui/Form7AutoCopy.h"
#include "ui/Form8Import.h"
#include "ui/Form9LinkCheck.h"
#include "ui/Icons.h"
#include "ui/Layout.h"

namespace brim::ui {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Height of a title bar, for the test whether a stored position can be reached.
constexpr int kTitleBarPixels = 30;
// After showing, the window looks for its frame this often, this many times at
// most: window managers frame a window a moment after it is shown, and say so
// in a property that raises no event of its own.
constexpr int kFrameLookMs = 50;
constexpr int kFrameLooks = 40;

}  // namespace

Form1::Form1(app::Services services, app::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts),
      model_(this),
      window_(services, *this, prompts, &scheduler_) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(app::mainForm().caption));
    setWindowIcon(programIcon());
    // The form's controls are small: a 12-pixel font keeps every caption whole.
    QFont small = font();
    small.setPixelSize(12);
    setFont(small);
    buildControls();
    buildMenu();
    frameWatch_ = new QTimer(this);
    frameWatch_->setInterval(kFrameLookMs);
    connect(frameWatch_, &QTimer::timeout, this, [this] {
        fitFrameWhenItChanged();
        if (!frame_.isNull() || ++frameLooks_ >= kFrameLooks) frameWatch_->stop();
    });
    setSizeTwips({app::kFullLayout.width, app::kFullLayout.height}, app::Sizing::Exact);
}

Form1::~Form1() {
    // A link check dialog tells the rules it goes: before they go themselves,
    // not when QWidget deletes the children after them.
    qDeleteAll(findChildren<Form9*>(Qt::FindDirectChildrenOnly));
}

QTreeView* Form1::list() const {
    return control<QTreeView>(app::Id::ListView1);
}

QComboBox* Form1::keywordBox() const {
    return control<QComboBox>(app::Id::Combo1);
}

void Form1::startUp(const QString& argument) {
    // Full-row selection is the list's one further display option.
    list()->setSelectionBehavior(QAbstractItemView::SelectRows);
    list()->setAllColumnsShowFocus(true);
    Timer1->start(app::kPositionTimerMs);
    window_.startUp(argument.toStdString());
}

Form2& Form1::form2() {
    if (!form2_) form2_ = new Form2(window_.keywords(), this);
    return *form2_;
}

Form3& Form1::form3() {
    if (!form3_) form3_ = new Form3(window_.searchOptions(), this);
    return *form3_;
}

Form4& Form1::form4() {
    if (!form4_) form4_ = new Form4(window_.htmlOptions(), this);
    return *form4_;
}

Form5& Form1::form5() {
    if (!form5_) form5_ = new Form5(window_, this);
    return *form5_;
}

Form6& Form1::form6() {
    if (!form6_) form6_ = new Form6(window_, this);
    return *form6_;
}

Form8& Form1::form8() {
    if (!form8_) form8_ = new Form8(window_.catalog(), window_.browsers(), prompts_, this);
    return *form8_;
}

Form7& Form1::form7() {
    if (!form7_) form7_ = new Form7(window_.autoCopy(), this);
    return *form7_;
}

void Form1::setColumns(const std::vector<std::string>& headers, const std::vector<int>& fifths) {
    QStringList names;
    for (const auto& h : headers)
        names << q(h);
    model_.setHeaders(names);
    fifths_ = fifths;
    fitColumns();
}

void Form1::fitColumns() {
    QTreeView* view = list();
    const int w = view->width();
    for (std::size_t c = 0; c < fifths_.size(); ++c)
        view->setColumnWidth(static_cast<int>(c), w * fifths_[c] / 5);
}

void Form1::setRows(const std::vector<app::Row>& rows) {
    model_.setRows(rows);
}

void Form1::addRows(const std::vector<app::Row>& rows) {
    model_.addRows(rows);
}

void Form1::setBusy(bool busy) {
    if (busy) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

void Form1::setRow(int row, const app::Row& cells) {
    model_.setRow(row, cells);
}

void Form1::setSortIndicator(int column, bool descending) {
    list()->header()->setSortIndicatorShown(true);
    list()->header()->setSortIndicator(column,
                                       descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void Form1::selectRow(int row) {
    const QModelIndex index = model_.index(row, 0);
    list()->setCurrentIndex(index);
    list()->scrollTo(index);
}

void Form1::setCount(const std::string& caption) {
    control<QLabel>(app::Id::Label7)->setText(q(caption));
}

std::string Form1::text(app::Id box) const {
    QWidget* w = controls_[+box];
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) return edit->toPlainText().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    return static_cast<QLineEdit*>(w)->text().toStdString();
}

void Form1::setText(app::Id box, const std::string& text) {
    QWidget* w = controls_[+box];
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
        edit->setPlainText(q(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setEditText(q(text));
    } else {
        static_cast<QLineEdit*>(w)->setText(q(text));
    }
}

void Form1::setKeywordItems(const std::vector<std::string>& items) {
    // Refilling the list must not change what the user typed.
    QComboBox* combo = keywordBox();
    const QString typed = combo->currentText();
    combo->clear();
    for (const auto& item : items)
        combo->addItem(q(item));
    combo->setEditText(typed);
}

void Form1::offerKeywords(const std::vector<std::string>& offers) {
    QStringList texts;
    for (const auto& offer : offers)
        texts << q(offer);
    static_cast<QStringListModel*>(keywordOffers_->model())->setStringList(texts);
    if (texts.isEmpty()) {
        keywordOffers_->popup()->hide();
    } else {
        keywordOffers_->complete();
    }
}

void Form1::setSizeTwips(app::Twips size, app::Sizing sizing) {
    outer_ = twipsToPixels(QSize(size.x, size.y));
    sizing_ = sizing;
    fitFrame();
}

void Form1::fitFrame() {
    const QWindow* handle = windowHandle();
    frame_ = handle && isVisible() ? handle->frameMargins() : QMargins();
    formClient_ = (outer_ - QSize(frame_.left() + frame_.right(), frame_.top() + frame_.bottom()))
                      .expandedTo(QSize(1, 1));
    setMinimumSize(sizing_ == app::Sizing::Minimum ? formClient_ : QSize(1, 1));
    resize(formClient_);
    relayout();
}

void Form1::fitFrameWhenItChanged() {
    const QWindow* handle = windowHandle();
    if (handle && isVisible() && handle->frameMargins() != frame_) fitFrame();
}

void Form1::relayout() {
    QSize stretch(0, 0);
    if (sizing_ == app::Sizing::Minimum) stretch = (size() - formClient_).expandedTo(stretch);
    stretch_ = stretch;
    for (const Following& f : following_) {
        const QRect& r = f.place;
        const app::Rect to = app::followed({r.x(), r.y(), r.width(), r.height()}, f.follow,
                                           stretch.width(), stretch.height());
        f.widget->setGeometry(to.left, to.top, to.width, to.height);
    }
    // The columns keep their share of the list's width.
    fitColumns();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    relayout();
}

void Form1::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    fitFrameWhenItChanged();
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    fitFrameWhenItChanged();
    frameLooks_ = 0;
    if (frame_.isNull()) frameWatch_->start();
}

app::Twips Form1::positionTwips() const {
    return {pos().x() * kTwipsPerPixel, pos().y() * kTwipsPerPixel};
}

void Form1::moveTwips(app::Twips position) {
    QPoint p(qRound(position.x / double(kTwipsPerPixel)),
             qRound(position.y / double(kTwipsPerPixel)));
    // A position stored while a monitor since unplugged was in use would leave
    // the window out of reach: then it goes to the primary screen's corner.
    const QRect titleBar(p, QSize(std::max(width(), 1), kTitleBarPixels));
    bool reachable = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        reachable = reachable || screen->geometry().intersects(titleBar);
    }
    if (!reachable) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            p = primary->availableGeometry().topLeft();
        }
    }
    move(p);
}

void Form1::setComboWidthTwips(int width) {
    keywordBox()->resize(twipsToPixels(width), keywordBox()->height());
}

void Form1::setGoVisible(bool visible) {
    controls_[+app::Id::Command11]->setVisible(visible);
}

void Form1::setMenuEnabled(app::Id item, bool enabled) {
    actions_.at(+item)->setEnabled(enabled);
}

void Form1::setMenuChecked(app::Id item, bool checked) {
    actions_.at(+item)->setChecked(checked);
}

void Form1::setTopmost(bool topmost) {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (flags == windowFlags()) return;
    // Changed on the live window, so that it neither moves nor resizes nor
    // flickers the way setWindowFlags' re-creation would make it.
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle()) handle->setFlags(flags);
}

void Form1::focus(app::Id id) {
    controls_[+id]->setFocus();
}

void Form1::showWindow() {
    show();
}

void Form1::shutDown() {
    if (closing_) return;
    closing_ = true;
    window_.shutDown();
    Timer1->stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

bool Form1::focusNextPrevChild(bool next) {
    // Tab goes round the form's tab order; what the strip and list layouts
    // cut off below them is passed over, as hidden controls are.
    const int height = (centralWidget()->height() - stretch_.height()) * kTwipsPerPixel;
    std::vector<QWidget*> order;
    for (const app::Control* c : app::tabOrder(app::mainForm(), height)) {
        QWidget* w = controls_[c->id];
        if (w->isVisible() && w->isEnabled()) order.push_back(w);
    }
    if (order.empty()) return false;
    // The control that has the focus, or holds the part that has it (the keyword box's line).
    const QWidget* focused = focusWidget();
    const auto holds = [focused](const QWidget* w) {
        return focused && (w == focused || w->isAncestorOf(focused));
    };
    const auto at = std::find_if(order.begin(), order.end(), holds);
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t i = at == order.end() ? (next ? n - 1 : 0) : at - order.begin();
    i = (i + (next ? 1 : n - 1)) % n;
    order[static_cast<std::size_t>(i)]->setFocus(next ? Qt::TabFocusReason
                                                      : Qt::BacktabFocusReason);
    return true;
}

void Form1::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

}  // namespace brim::ui
