// The main window's controls and menu, laid out in the form's twips, and
// wired to the window's rules.

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStringListModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <functional>

#include "app/Messages.h"
#include "core/KeywordLists.h"
#include "ui/Form1.h"
#include "ui/Form2FixedKeywords.h"
#include "ui/Form3SearchOptions.h"
#include "ui/Form4ExportOptions.h"
#include "ui/Form5Shortcuts.h"
#include "ui/Form6About.h"
#include "ui/Form7AutoCopy.h"
#include "ui/Form8Import.h"
#include "ui/Icons.h"
#include "ui/Layout.h"

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

// The result list, where the keyboard does what the mouse does.
class ResultListView final : public QTreeView {
  public:
    std::function<void(int)> movedByKey;  // the selection moved to a row
    std::function<void(int)> entered;     // Enter on a row

  protected:
    void keyPressEvent(QKeyEvent* event) override {
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
};

}  // namespace

void Form1::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("central");
    setCentralWidget(central);
    const auto at = [central](QWidget* w, const char* name, int left, int top, int width,
                              int height) {
        place(w, central, name, {left, top, width, height});
    };
    const auto label = [&](const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lbl = new QLabel(text);
        lbl->setWordWrap(true);
        // The form's labels are narrow; a smaller face keeps their words whole.
        QFont f = lbl->font();
        f.setPixelSize(10);
        lbl->setFont(f);
        at(lbl, name, l, t, w, h);
        return lbl;
    };
    const auto button = [&](const char* name, const QString& text, IconKind icon, int l, int t,
                            int w, int h) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setIcon(makeIcon(icon, name == std::string("Command4")));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        at(b, name, l, t, w, h);
        return b;
    };
    const auto edit = [&](const char* name, int l, int t, int w, int h) {
        auto* e = new QLineEdit;
        at(e, name, l, t, w, h);
        return e;
    };

    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    at(line, "Line1", 0, 0, 8640, 30);

    Label1 = label("Label1", "Key Word", 120, 120, 375, 375);
    Combo1 = new QComboBox;
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    keywordOffers_ = new KeywordOffers(Combo1);
    Combo1->setCompleter(keywordOffers_);
    at(Combo1, "Combo1", 600, 120, 2295, 300);
    Command11 = new QPushButton("Go");
    at(Command11, "Command11", 3120, 150, 375, 260);
    Command10 = new QToolButton;
    Command10->setIcon(makeIcon(IconKind::Mode));
    Command10->setToolButtonStyle(Qt::ToolButtonIconOnly);
    at(Command10, "Command10", 3600, 120, 300, 300);
    Label7 = label("Label7", QStringLiteral("個数"), 4080, 150, 1455, 255);

    auto* list = new ResultListView;
    list->movedByKey = [this](int row) { window_.ListView1_KeyMove(row); };
    list->entered = [this](int row) { window_.ListView1_Enter(row); };
    ListView1 = list;
    at(ListView1, "ListView1", 120, 600, 5895, 2175);
    ListView1->setModel(&model_);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsClickable(true);

    Command6 = button("Command6", "Get", IconKind::Get, 120, 3000, 700, 560);
    Command2 = button("Command2", "same", IconKind::Same, 840, 3000, 700, 560);
    Command1 = button("Command1", "Folder", IconKind::Folder, 1560, 3000, 700, 560);
    Command8 = button("Command8", "Search", IconKind::Search, 2280, 3000, 700, 560);
    Command4 = button("Command4", QStringLiteral("開く"), IconKind::Open, 3120, 3000, 700, 560);
    Command5 = button("Command5", QStringLiteral("削除"), IconKind::Delete, 3840, 3000, 700, 560);
    Command9 = button("Command9", "HTML", IconKind::Html, 4560, 3000, 700, 560);
    Command3 = button("Command3", QStringLiteral("終了"), IconKind::Exit, 5280, 3000, 700, 560);

    label("Label2", QStringLiteral("フォルダ"), 120, 3720, 735, 255);
    Text2 = edit("Text2", 840, 3720, 4335, 270);
    Command7 = button("Command7", QStringLiteral("保存"), IconKind::Save, 5280, 3720, 700, 560);
    label("Label3", QStringLiteral("登録名"), 120, 4100, 735, 255);
    Text3 = edit("Text3", 840, 4080, 4335, 270);
    label("Label4", "URL", 240, 4440, 495, 255);
    Text4 = edit("Text4", 840, 4440, 5175, 270);
    Text4->setText("https://www.example.com/");
    label("Label5", QStringLiteral("コメント"), 120, 4800, 615, 255);
    Text5 = new QPlainTextEdit;
    // Tab leaves the comment as it leaves every other box; a comment is one line on disk.
    Text5->setTabChangesFocus(true);
    at(Text5, "Text5", 840, 4800, 5175, 615);
    label("Label6", QStringLiteral("保存先 フォルダ"), 120, 5520, 735, 375);
    Text6 = edit("Text6", 840, 5520, 5175, 270);

    // What follows an enlarged window; the rest keeps its place as laid out in the form.
    following_.clear();
    const auto follow = [this](QWidget* w, Follow how) {
        following_.push_back({w, w->geometry(), how});
    };
    follow(ListView1, Follow::Grows);
    for (QWidget* b :
         {Command6, Command2, Command1, Command8, Command4, Command5, Command9, Command3})
        follow(b, Follow::MovesDown);
    for (const char* name : {"Label2", "Label3", "Label4", "Label5", "Label6"})
        follow(central->findChild<QLabel*>(name), Follow::MovesDown);
    for (QWidget* e : std::initializer_list<QWidget*>{Text2, Text3, Text4, Text5, Text6})
        follow(e, Follow::MovesDownWidens);
    follow(Command7, Follow::MovesDownRight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");

    const auto on = [this](QAbstractButton* b, void (app::Window::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] { (window_.*handler)(); });
    };
    on(Command1, &app::Window::Command1_Click);
    on(Command2, &app::Window::Command2_Click);
    on(Command4, &app::Window::Command4_Click);
    on(Command5, &app::Window::Movetrash);
    on(Command6, &app::Window::Command6_Click);
    on(Command7, &app::Window::Savefiles);
    on(Command8, &app::Window::Command8_Click);
    on(Command9, &app::Window::mkHTML_Click);
    on(Command11, &app::Window::Command8_Click);
    on(Command10, &app::Window::Command10_Click);
    connect(Command3, &QToolButton::clicked, this, &Form1::shutDown);
    connect(Combo1->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { window_.Command8_Click(); });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { window_.Combo1_Change(); });
    connect(ListView1, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { window_.ListView1_Click(index.row()); });
    connect(ListView1, &QTreeView::doubleClicked, this, [this] { window_.ListView1_DblClick(); });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { window_.ListView1_ColumnClick(logical + 1); });
    connect(Timer1, &QTimer::timeout, this, [this] { window_.SaveWpos(); });
    // Esc stops a running fill or search; the rows found so far stay.
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stop->setObjectName("stopFill");
    connect(stop, &QShortcut::activated, this, [this] { window_.stopFill(); });
    applyTabOrder();
}

void Form1::applyTabOrder() {
    // The form's tab order: the keyword row, the list, the button row,
    // then the edit boxes with "保存" after the folder box.
    QWidget* const order[] = {Combo1,   Command11, Command10, ListView1, Command6, Command2,
                              Command1, Command8,  Command4,  Command5,  Command9, Command3,
                              Text2,    Command7,  Text3,     Text4,     Text5,    Text6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::buildMenu() {
    const auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(name);
        return m;
    };
    const auto item = [](QMenu* m, const char* name, const QString& text) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        return a;
    };
    const auto separator = [](QMenu* m, const char* name) {
        m->addSeparator()->setObjectName(name);
    };

    // Access keys follow the captions in parentheses, as Japanese menus have them.
    QMenu* filemenu = menu("filemenu", QStringLiteral("ファイル(&F)"));
    savemenu = item(filemenu, "savemenu", QStringLiteral("URL保存(&S)"));
    savemenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Mdelete = item(filemenu, "Mdelete", QStringLiteral("URL削除(&D)"));
    delfolder = item(filemenu, "delfolder", QStringLiteral("空きフォルダを削除(&E)"));
    fixNames = item(filemenu, "fixNames",
                    QString::fromUtf8(app::kFixNamesCaption) + QStringLiteral("(&U)"));
    separator(filemenu, "line04");
    openurl = item(filemenu, "openurl", QStringLiteral("URLを開く(&O)"));
    mkHTML = item(filemenu, "mkHTML", QStringLiteral("HTMLを作成(&H)"));
    importmenu = item(filemenu, "importmenu", QStringLiteral("ブラウザからインポート(&I)"));
    separator(filemenu, "line01");
    exitprogram = item(filemenu, "exitprogram", QStringLiteral("終了(&X)"));

    QMenu* Msearch = menu("Msearch", QStringLiteral("設定(&S)"));
    autoCP = item(Msearch, "autoCP", "Auto Copy(&A)");
    setHTML = item(Msearch, "setHTML", QStringLiteral("HTML出力内容(&H)"));
    setKEYWORD = item(Msearch, "setKEYWORD", QStringLiteral("キーワード検索の設定(&K)"));
    everfront = item(Msearch, "everfront", QStringLiteral("常時前面表示(&T)"));
    everfront->setCheckable(true);
    everfront->setChecked(true);
    separator(Msearch, "line02");
    clearKey = item(Msearch, "clearKey", QStringLiteral("キーワード履歴の初期化(&C)"));
    PKEYS = item(Msearch, "PKEYS", QStringLiteral("固定キーワードの登録(&F)"));

    QMenu* other = menu("other", QStringLiteral("その他(&O)"));
    toCSV = item(other, "toCSV", QStringLiteral("CSVファイルに出力(&C)"));
    toBookmarks = item(other, "toBookmarks", QStringLiteral("ブラウザ用ブックマークに出力(&B)"));
    separator(other, "line03");
    mkstcut = item(other, "mkstcut", QStringLiteral("Brimmark のショートカット作成(&S)"));

    QMenu* uhelp = menu("uhelp", QStringLiteral("ヘルプ(&H)"));
    ophelp = item(uhelp, "ophelp", QStringLiteral("HELPファイルを開く(&H)"));
    showV = item(uhelp, "showV", QStringLiteral("バージョン情報(&A)"));

    const auto on = [this](QAction* a, void (app::Window::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { (window_.*handler)(); });
    };
    connect(exitprogram, &QAction::triggered, this, &Form1::shutDown);
    on(everfront, &app::Window::everfront_Click);
    on(openurl, &app::Window::openIE);
    on(clearKey, &app::Window::clearKey_Click);
    on(savemenu, &app::Window::Savefiles);
    on(Mdelete, &app::Window::Movetrash);
    on(delfolder, &app::Window::delfolder_Click);
    on(fixNames, &app::Window::fixNames_Click);
    on(mkHTML, &app::Window::mkHTML_Click);
    on(toCSV, &app::Window::toCSV_Click);
    on(toBookmarks, &app::Window::toBookmarks_Click);
    on(ophelp, &app::Window::ophelp_Click);
    const auto show = [](QDialog& d) {
        d.show();
        d.raise();
    };
    connect(setKEYWORD, &QAction::triggered, this, [this, show] { show(form3()); });
    connect(PKEYS, &QAction::triggered, this, [this, show] { show(form2()); });
    connect(autoCP, &QAction::triggered, this, [this, show] { show(form7()); });
    connect(mkstcut, &QAction::triggered, this, [this, show] { show(form5()); });
    connect(showV, &QAction::triggered, this, [this, show] { show(form6()); });
    connect(importmenu, &QAction::triggered, this, [this, show] { show(form8()); });
    connect(setHTML, &QAction::triggered, this, [this] { form4().open(); });
}

}  // namespace brim::ui
