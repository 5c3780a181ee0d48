#include "ui/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

#include "core/Editing.h"
#include "core/Numbers.h"
#include "core/Opening.h"
#include "core/Pages.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "text/Utf8.h"
#include "ui/CheckBox.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form4.h"
#include "ui/Form5.h"
#include "ui/Form6.h"
#include "ui/Form7.h"
#include "ui/Icons.h"
#include "ui/Layout.h"
#include "ui/Messages.h"

namespace brim::ui {
namespace {

namespace st = core::settings;

int px(int twips) {
    return twipsToPixels(twips);
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& q) {
    return q.toStdString();
}

// The layouts of the three window modes, in twips.
struct Layout {
    int width, height, comboWidth;
};
constexpr Layout kCompactLayout{4140, 1245, 2415};
constexpr Layout kListLayout{6270, 4335, 2895};
constexpr Layout kFullLayout{6270, 6615, 2895};
// The size a fill gives the compact strip, so that the list shows.
constexpr int kEnlargedWidth = 6285;
constexpr int kEnlargedHeight = 3660;
// Height of a title bar, for the test whether a stored position can be reached.
constexpr int kTitleBarPixels = 30;

}  // namespace

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      profile_(services.fs, services.codePage, services.folders),
      model_(this) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Brimmark - 私のお気に入り v1.3"));
    // The design's controls are small: a 12-pixel font keeps every caption whole.
    QFont small = font();
    small.setPixelSize(12);
    setFont(small);
    buildControls();
    buildMenu();
    setMinimumSize(1, 1);
    setSizeTwips(kFullLayout.width, kFullLayout.height);
}

Form1::~Form1() = default;

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
        // The design's labels are narrow; a smaller face keeps their words whole.
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
    at(Combo1, "Combo1", 600, 120, 2295, 300);
    Command11 = new QPushButton("Go");
    at(Command11, "Command11", 3120, 150, 375, 260);
    Command10 = new QToolButton;
    Command10->setIcon(makeIcon(IconKind::Mode));
    Command10->setToolButtonStyle(Qt::ToolButtonIconOnly);
    at(Command10, "Command10", 3600, 120, 300, 300);
    Label7 = label("Label7", QStringLiteral("個数"), 4080, 150, 1455, 255);

    ListView1 = new QTreeView;
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
    at(Text5, "Text5", 840, 4800, 5175, 615);
    label("Label6", QStringLiteral("保存先 フォルダ"), 120, 5520, 735, 375);
    Text6 = edit("Text6", 840, 5520, 5175, 270);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");

    connect(Command1, &QToolButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &Form1::Command2_Click);
    connect(Command4, &QToolButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QToolButton::clicked, this, &Form1::Movetrash);
    connect(Command6, &QToolButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QToolButton::clicked, this, &Form1::Savefiles);
    connect(Command8, &QToolButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QToolButton::clicked, this, &Form1::mkHTML_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Combo1->lineEdit(), &QLineEdit::returnPressed, this, &Form1::Command8_Click);
    connect(Command3, &QToolButton::clicked, this, &Form1::Command3_Click);
    connect(Command10, &QToolButton::clicked, this, &Form1::Command10_Click);
    connect(ListView1, &QTreeView::clicked, this, &Form1::ListView1_Click);
    connect(ListView1, &QTreeView::doubleClicked, this, &Form1::ListView1_DblClick);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { ListView1_ColumnClick(logical + 1); });
    connect(Timer1, &QTimer::timeout, this, &Form1::SaveWpos);
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

    QMenu* filemenu = menu("filemenu", QStringLiteral("ファイル"));
    savemenu = item(filemenu, "savemenu", QStringLiteral("URL保存"));
    savemenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Mdelete = item(filemenu, "Mdelete", QStringLiteral("URL削除"));
    delfolder = item(filemenu, "delfolder", QStringLiteral("空きフォルダを削除"));
    separator(filemenu, "line04");
    openurl = item(filemenu, "openurl", QStringLiteral("URLを開く"));
    mkHTML = item(filemenu, "mkHTML", QStringLiteral("HTMLを作成"));
    separator(filemenu, "line01");
    exitprogram = item(filemenu, "exitprogram", QStringLiteral("終了"));

    QMenu* Msearch = menu("Msearch", QStringLiteral("設定"));
    autoCP = item(Msearch, "autoCP", "Auto Copy");
    setHTML = item(Msearch, "setHTML", QStringLiteral("HTML出力内容"));
    setKEYWORD = item(Msearch, "setKEYWORD", QStringLiteral("キーワード検索の設定"));
    everfront = item(Msearch, "everfront", QStringLiteral("常時前面表示"));
    everfront->setCheckable(true);
    everfront->setChecked(true);
    separator(Msearch, "line02");
    clearKey = item(Msearch, "clearKey", QStringLiteral("キーワード履歴の初期化"));
    PKEYS = item(Msearch, "PKEYS", QStringLiteral("固定キーワードの登録"));

    QMenu* other = menu("other", QStringLiteral("その他"));
    toCSV = item(other, "toCSV", QStringLiteral("CSVファイルに出力"));
    toBookmarks = item(other, "toBookmarks", QStringLiteral("ブラウザ用ブックマークに出力"));
    separator(other, "line03");
    mkstcut = item(other, "mkstcut", QStringLiteral("Brimmark のショートカット作成"));

    QMenu* uhelp = menu("uhelp", QStringLiteral("ヘルプ"));
    ophelp = item(uhelp, "ophelp", QStringLiteral("HELPファイルを開く"));
    showV = item(uhelp, "showV", QStringLiteral("バージョン情報"));

    connect(exitprogram, &QAction::triggered, this, &Form1::Command3_Click);
    connect(everfront, &QAction::triggered, this, &Form1::everfront_Click);
    connect(openurl, &QAction::triggered, this, &Form1::openIE);
    connect(setKEYWORD, &QAction::triggered, this, &Form1::setKEYWORD_Click);
    connect(clearKey, &QAction::triggered, this, &Form1::clearKey_Click);
    connect(PKEYS, &QAction::triggered, this, &Form1::PKEYS_Click);
    connect(autoCP, &QAction::triggered, this, &Form1::autoCP_Click);
    connect(savemenu, &QAction::triggered, this, &Form1::Savefiles);
    connect(Mdelete, &QAction::triggered, this, &Form1::Movetrash);
    connect(delfolder, &QAction::triggered, this, &Form1::delfolder_Click);
    connect(mkHTML, &QAction::triggered, this, &Form1::mkHTML_Click);
    connect(toCSV, &QAction::triggered, this, &Form1::toCSV_Click);
    connect(toBookmarks, &QAction::triggered, this, &Form1::toBookmarks_Click);
    connect(setHTML, &QAction::triggered, this, &Form1::setHTML_Click);
    connect(mkstcut, &QAction::triggered, this, &Form1::mkstcut_Click);
    connect(ophelp, &QAction::triggered, this, &Form1::ophelp_Click);
    connect(showV, &QAction::triggered, this, &Form1::showV_Click);
}

void Form1::startUp(const QString& argument) {
    // Full-row selection is the list's one further display option.
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setAllColumnsShowFocus(true);

    const auto& folders = services_.folders;
    FavoritesRoot = folders.favorites();
    DesktopDir = folders.desktop();
    SendToDir = folders.sendTo();
    catalog_ = std::make_unique<core::Catalog>(services_.fs, profile_, FavoritesRoot);
    search_ = std::make_unique<core::Search>(*catalog_, services_.caseMapper);
    form2_ = new Form2(profile_, Combo1, this);
    FrontFlag = 1;

    const core::StoredHtmlOptions html = core::LoadStoredHtmlOptions(profile_);
    setCheckValue(form4().Check1, html.check1);
    setCheckValue(form4().Check2, html.check2);
    setCheckValue(form4().Check3, html.check3);
    for (const auto& [key, box] : {std::pair{"IE", form7().Check1}, {"File", form7().Check2}}) {
        if (const auto v = st::CheckBoxFromSetting(profile_.ReadSetting("AutoCopy", key))) {
            setCheckValue(box, *v);
        }
    }
    WposX = st::WholeNumberFromSetting(profile_.ReadSetting(st::kPosition, st::kX));
    WposY = st::WholeNumberFromSetting(profile_.ReadSetting(st::kPosition, st::kY));
    WinMode = st::WindowModeFromSetting(profile_.ReadSetting(st::kMode, st::kModeValue));
    LoadKeywords();

    if (!argument.isEmpty()) {
        WinMode = st::kFullLayout;
        SetFilePs(q(core::LongPathName(services_.fs, s(argument))));
        Command2_Click();
    } else if (IEn() == 0) {
        allFile();
    }

    Timer1->start(3000);
    placeWindow();
    SetWmode();
    show();
    Combo1->setFocus();
}

void Form1::placeWindow() {
    QPoint p(qRound(WposX / double(kTwipsPerPixel)), qRound(WposY / double(kTwipsPerPixel)));
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

void Form1::fillList(const QStringList& headers, const std::vector<int>& fifths,
                     std::vector<ResultListModel::Row> rows) {
    const int w = ListView1->width();
    model_.fill(headers, std::move(rows));
    for (int c = 0; c < headers.size(); ++c) {
        ListView1->setColumnWidth(c, w * fifths[static_cast<std::size_t>(c)] / 5);
    }
    CurrentItem = -1;
}

void Form1::setCountCaption(const char* prefix, std::int64_t n) {
    Label7->setText(q(core::CountCaption(prefix, n)));
}

void Form1::fillFavorites(const std::function<void(const core::RowSink&)>& walk) {
    std::vector<ResultListModel::Row> rows;
    walk([&](core::FavoriteItem&& item) {
        rows.push_back({q(item.name), q(item.folder), q(item.comment)});
    });
    ItemCount = static_cast<std::int32_t>(rows.size());
    ListMode = core::kListFavorites;
    fillList({"Name", "Folder", "Comment"}, {2, 2, 3}, std::move(rows));
    setCountCaption("ファイル数:", ItemCount);
}

void Form1::allFile() {
    fillFavorites([this](const core::RowSink& add) { catalog_->ListDir(FavoritesRoot, add); });
    if (WinMode == st::kCompact) setSizeTwips(kEnlargedWidth, kEnlargedHeight);
}

void Form1::searchFile(const QString& text) {
    SetWmode();
    if (text.isEmpty()) {
        allFile();
        return;
    }
    SearchKeys = core::SplitKeywords(s(text));
    const core::SearchOptions options = form3().options();
    fillFavorites([&](const core::RowSink& add) {
        search_->SearchDir(FavoritesRoot, SearchKeys, options, add);
    });
    const bool takeOver = ItemCount == 1 && checkValue(form7().Check2) == 1;
    if (takeOver) {
        takeOverFirstRow();
        Command4->setFocus();
    }
    if (WinMode != st::kCompact) return;
    if (ItemCount == 1) {
        // The one match is taken into the boxes first, so that what opens is
        // its own address and never one the boxes held before.
        if (!takeOver) takeOverFirstRow();
        openIE();
    } else {
        setSizeTwips(kEnlargedWidth, kEnlargedHeight);
    }
}

void Form1::Command8_Click() {
    searchFile(Combo1->currentText());
    RecordKeyword();
}

void Form1::Command2_Click() {
    SearchKeys = {s(Text4->text())};
    const core::SearchOptions options = form3().options();
    fillFavorites(
        [&](const core::RowSink& add) { search_->Same(SearchKeys.front(), options, add); });
}

void Form1::openIE() {
    const std::string url = s(Text4->text());
    if (utf8::length(url) <= 7) return;
    // Other schemes can run a program or a script: the user sees the address first.
    if (!core::OpensWithoutAsking(url) &&
        !services_.dialogs.confirm(
            this,
            QStringLiteral("次のアドレスは http、https、ftp、mailto のいずれでもありません。\n"
                           "開いてもよろしいですか？\n\n") +
                q(core::VisibleControls(url)))) {
        return;
    }
    const std::string failure = services_.opener.open(url);
    if (!failure.empty()) {
        services_.dialogs.message(this,
                                  QStringLiteral("ブラウザを開けませんでした。\n") + q(failure));
    }
}

void Form1::Command4_Click() {
    openIE();
}

Form3& Form1::form3() {
    if (!form3_) form3_ = new Form3(profile_, this);
    return *form3_;
}

void Form1::setKEYWORD_Click() {
    form3().show();
    form3().raise();
}

void Form1::LoadKeywords() {
    setComboItems(Combo1, core::ReadKeywordKeys(profile_, 'W'));
    form2().setFixedKeywords(core::ReadKeywordKeys(profile_, 'D'));
    RebuildKeywordList();
}

void Form1::RebuildKeywordList() {
    setComboItems(Combo1, core::RebuildKeywordList(comboItems(Combo1), form2().fixedKeywords()));
}

void Form1::RecordKeyword() {
    core::KeywordList list = comboItems(Combo1);
    const auto fixedCount = static_cast<std::size_t>(form2().List1->count());
    if (!core::RecordKeyword(list, fixedCount, s(Combo1->currentText()))) return;
    setComboItems(Combo1, list);
    core::WriteKeywordKeys(profile_, 'W', list);
}

void Form1::clearKey_Click() {
    setComboItems(Combo1, {});
    RebuildKeywordList();
}

void Form1::PKEYS_Click() {
    form2().show();
    form2().raise();
    form2().Text1->setFocus();
}

void Form1::allFolder() {
    std::vector<ResultListModel::Row> rows;
    catalog_->ListFolder(FavoritesRoot, [&](std::string&& label) {
        rows.push_back({q(label), {}, {}});
    });
    FolderCount = static_cast<std::int32_t>(rows.size());
    ItemCount = 0;
    ListMode = core::kListFolders;
    fillList({"Folder"}, {5}, std::move(rows));
    setCountCaption("フォルダ数:", FolderCount);
}

std::int32_t Form1::showPages(const std::vector<platform::BrowserPage>& pages) {
    std::vector<ResultListModel::Row> rows;
    for (const auto& page : pages)
        rows.push_back({q(page.title), q(page.url), {}});
    ItemCount = static_cast<std::int32_t>(rows.size());
    ListMode = core::kListPages;
    fillList({"site", "URL"}, {2, 3}, std::move(rows));
    setCountCaption("サイト数:", ItemCount);
    return ItemCount;
}

std::int32_t Form1::IEn() {
    const std::int32_t n = showPages(core::CapturePages(services_.pages.openPages()));
    if (n == 1 && checkValue(form7().Check1) == 1) {
        ListView1->setCurrentIndex(model_.index(0, 0));
        SetSitePs();
    }
    return n;
}

void Form1::Command6_Click() {
    IEn();
    Text5->setFocus();
}

Form7& Form1::form7() {
    if (!form7_) form7_ = new Form7(profile_, this);
    return *form7_;
}

void Form1::autoCP_Click() {
    form7().show();
    form7().raise();
}

void Form1::Savefiles() {
    const core::SaveRequest request{s(Text3->text()), s(Text4->text()), s(Text5->toPlainText()),
                                    s(Text6->text())};
    const core::SaveResult result = core::Savefiles(*catalog_, request);
    Text3->setText(q(core::NameAfterSave(result, request)));
    const QString name = q(result.fileName);
    switch (result.kind) {
        case core::SaveResult::Kind::Saved:
            break;
        case core::SaveResult::Kind::NoName:
            services_.dialogs.message(this, QStringLiteral("登録名かURLを入力してください。"));
            break;
        case core::SaveResult::Kind::BadName:
            services_.dialogs.message(
                this,
                QStringLiteral(
                    "「%1」は登録名に使えません。\n「\\」や「/」を含まない名前にしてください。")
                    .arg(name));
            break;
        case core::SaveResult::Kind::HiddenName:
            services_.dialogs.message(
                this, QStringLiteral("「%1」は「.」で始まるため、保存しても一覧に表示されません。\n"
                                     "別の名前にしてください。")
                          .arg(name));
            break;
        case core::SaveResult::Kind::NotWritten:
            services_.dialogs.message(this, QStringLiteral("「%1」を保存できませんでした。\n%2")
                                                .arg(name, reasonText(result.status)));
            break;
    }
}

void Form1::Movetrash() {
    const std::string path = core::FavoritePath(*catalog_, s(Text2->text()), s(Text3->text()));
    const QString name = Text3->text() + ".url";
    if (!services_.fs.attributes(path)) {
        services_.dialogs.message(this,
                                  QStringLiteral("ファイルが見つかりません。\n%1").arg(q(path)));
        return;
    }
    if (!services_.dialogs.confirm(this,
                                   QStringLiteral("「%1」をごみ箱に移動しますか？").arg(name))) {
        return;
    }
    if (const auto r = services_.trash.moveToTrash(path); !r) {
        services_.dialogs.message(
            this,
            QStringLiteral("「%1」をごみ箱に移動できませんでした。\n%2").arg(name, reasonText(r)));
    }
}

void Form1::delfolder_Click() {
    std::vector<ResultListModel::Row> rows;
    std::vector<core::PruneProblem> problems;
    core::RemoveEmptyFolders(
        *catalog_, false,
        [&](const std::string& path) {
            rows.push_back({q(path), {}, {}});
        },
        problems);
    ItemCount = 0;
    FolderCount = 0;
    ListMode = core::kListFolders;
    fillList({"Deleted Folders"}, {5}, std::move(rows));
    if (problems.empty()) return;
    QString text = QStringLiteral("削除できなかったフォルダがあります。");
    for (std::size_t i = 0; i < problems.size() && i < 10; ++i) {
        text += "\n" + q(problems[i].path) + "（" + reasonText(problems[i].io) + "）";
    }
    if (problems.size() > 10) text += QStringLiteral("\nほか %1 件").arg(problems.size() - 10);
    services_.dialogs.message(this, text);
}

std::vector<core::ListRow> Form1::exportRows() const {
    std::vector<core::ListRow> rows;
    for (int r = 0; r < ItemCount && r < model_.rowCount(); ++r) {
        rows.push_back({s(model_.row(r)[0]), s(model_.row(r)[1])});
    }
    return rows;
}

bool Form1::exportToDesktop(const ExportKind& kind, const MakeExport& make) {
    if (ItemCount == 0) {
        services_.dialogs.message(this, kind.emptyList);
        return false;
    }
    std::string bytes;
    for (;;) {
        const auto answer = services_.dialogs.input(this, kind.title, kind.prompt, kind.proposed);
        if (!answer || answer->isEmpty()) return false;
        if (answer->contains('/') || answer->contains('\\')) {
            services_.dialogs.message(this,
                                      QStringLiteral("ファイル名に「\\」や「/」は使えません。"));
            continue;
        }
        const std::string path = DesktopDir + core::ExportFileName(s(*answer), kind.extension);
        if (bytes.empty()) {
            bytes = make(core::Exporter(*catalog_), exportRows(), ListMode == core::kListPages);
        }
        const auto r = services_.fs.createNewFile(path, bytes);
        if (r.error == platform::IoError::Exists) {
            services_.dialogs.message(this, QStringLiteral("そのファイルはすでに存在します "));
            continue;
        }
        if (!r) {
            services_.dialogs.message(
                this,
                QStringLiteral("「%1」を作成できませんでした。\n%2").arg(q(path), reasonText(r)));
        }
        return static_cast<bool>(r);
    }
}

void Form1::mkHTML_Click() {
    exportToDesktop({QStringLiteral("リストが空です"),
                     QStringLiteral("保存するHTMLファイルの名前を入力してください"),
                     "Input HTML-file name", QStringLiteral("お気に入り一覧"), ".html"},
                    [this](const core::Exporter& e, const auto& rows, bool pages) {
                        return e.HtmlPage(rows, pages, form4().stored().options());
                    });
}

void Form1::toCSV_Click() {
    std::size_t replaced = 0;
    const bool written = exportToDesktop(
        {QStringLiteral("リストがありません"),
         QStringLiteral("保存するCSVファイルの名前を入力してください"), "Input CSV-file name",
         QStringLiteral("お気に入り一覧"), ".csv"},
        [this, &replaced](const core::Exporter& e, const auto& rows, bool pages) {
            return e.CsvFile(rows, pages, form4().stored().csvEncoding(), &replaced);
        });
    if (written && replaced > 0) {
        services_.dialogs.message(
            this, QStringLiteral("コードページにない %1 文字を「?」に置き換えて出力しました。\n"
                                 "すべての文字を残すには「HTML出力内容」で「CSVファイルを UTF-8 "
                                 "で出力する」を選んでください。")
                      .arg(replaced));
    }
}

void Form1::toBookmarks_Click() {
    exportToDesktop({QStringLiteral("リストがありません"),
                     QStringLiteral("保存するブックマークファイルの名前を入力してください"),
                     "Input bookmark-file name", QStringLiteral("ブックマーク"), ".html"},
                    [](const core::Exporter& e, const auto& rows, bool pages) {
                        return e.NetscapeFile(rows, pages, QDateTime::currentSecsSinceEpoch());
                    });
}

Form4& Form1::form4() {
    if (!form4_) form4_ = new Form4(profile_, this);
    return *form4_;
}

Form5& Form1::form5() {
    if (!form5_) {
        form5_ = new Form5(services_.shortcuts, services_.dialogs, SendToDir, DesktopDir, this);
    }
    return *form5_;
}

Form6& Form1::form6() {
    if (!form6_) {
        form6_ = new Form6(windowTitle(), makeIcon(IconKind::Mode), services_.opener,
                           services_.dialogs, this);
    }
    return *form6_;
}

void Form1::setHTML_Click() {
    form4().open();
}

void Form1::mkstcut_Click() {
    form5().show();
    form5().raise();
}

void Form1::showV_Click() {
    form6().show();
    form6().raise();
}

void Form1::ophelp_Click() {
    OpenDocument(services_.folders.helpFile());
}

void Form1::OpenDocument(const std::string& file) {
    const std::string folder = file.substr(0, file.find_last_of('/') + 1);
    QString failure;
    if (!services_.fs.attributes(folder)) {
        failure = QStringLiteral("ファイルのパスが見つかりません。");
    } else if (!services_.fs.attributes(file)) {
        failure = QStringLiteral("ファイルが見つかりません。");
    } else if (const std::string why = services_.opener.open(file); !why.empty()) {
        failure = QStringLiteral("その他のエラー（%1）").arg(q(why));
    }
    if (!failure.isEmpty()) services_.dialogs.message(this, failure);
}

void Form1::takeOverFirstRow() {
    ListView1->setCurrentIndex(model_.index(0, 0));
    ListView1_Click();
}

void Form1::SetFilePs(const QString& path) {
    const core::FavoriteFields f = catalog_->fieldsOf(s(path));
    Text2->setText(q(f.folder));
    Text6->setText(q(f.folder));
    Text3->setText(q(f.name));
    Text4->setText(q(f.url));
    Text5->setPlainText(q(f.comment));
}

void Form1::SetSitePs() {
    const auto selected = ListView1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    CurrentItem = selected.front().row();
    const auto& row = model_.row(CurrentItem);
    if (row[0].isEmpty()) return;
    Text3->setText(row[0]);
    Text4->setText(row[1]);
    Text5->setPlainText({});
    Text2->setText(QStringLiteral("[Internet]"));
    Text5->setFocus();
}

void Form1::ListView1_Click() {
    const auto selected = ListView1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    CurrentItem = selected.front().row();
    const auto& row = model_.row(CurrentItem);
    switch (ListMode) {
        case core::kListFavorites:
            SetFilePs(row[1] + row[0]);
            break;
        case core::kListFolders:
            Text6->setText(row[0]);
            Combo1->setEditText(row[0].contains('"') ? row[0] : '"' + row[0] + '"');
            break;
        case core::kListPages:
            SetSitePs();
            break;
        default:
            break;
    }
}

void Form1::ListView1_DblClick() {
    if (ListMode == core::kListFavorites) openIE();
    if (ListMode == core::kListFolders) Command8_Click();
    SetWmode();
}

void Form1::ListView1_ColumnClick(int column) {
    const Qt::SortOrder order = column == 3 ? Qt::DescendingOrder : Qt::AscendingOrder;
    model_.sortBy(column - 1, order);
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(column - 1, order);
}

void Form1::Command1_Click() {
    allFolder();
}

void Form1::setSizeTwips(int width, int height) {
    resize(px(width), px(height));
}

void Form1::setComboWidthTwips(int width) {
    Combo1->resize(px(width), Combo1->height());
}

QSize Form1::sizeTwips() const {
    return size() * kTwipsPerPixel;
}

QPoint Form1::positionTwips() const {
    return pos() * kTwipsPerPixel;
}

void Form1::SetWmode() {
    switch (WinMode) {
        case st::kCompact:
            setSizeTwips(kCompactLayout.width, kCompactLayout.height);
            setComboWidthTwips(kCompactLayout.comboWidth);
            Command11->setVisible(true);
            savemenu->setEnabled(false);
            Mdelete->setEnabled(false);
            autoCP->setEnabled(false);
            SetFront(FrontFlag);
            break;
        case st::kListLayout:
            setSizeTwips(kListLayout.width, kListLayout.height);
            setComboWidthTwips(kListLayout.comboWidth);
            Command11->setVisible(false);
            savemenu->setEnabled(true);
            Mdelete->setEnabled(true);
            autoCP->setEnabled(true);
            SetFront(0);
            break;
        case st::kFullLayout:
            setSizeTwips(kFullLayout.width, kFullLayout.height);
            setComboWidthTwips(kFullLayout.comboWidth);
            Command11->setVisible(false);
            SetFront(0);
            break;
        default:
            break;
    }
}

void Form1::SetFront(std::int32_t flag) {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, flag != 0);
    if (flags == windowFlags()) return;
    // Changed on the live window, so that it neither moves nor resizes nor
    // flickers the way setWindowFlags' re-creation would make it.
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) window->setFlags(flags);
}

void Form1::Command10_Click() {
    WinMode = st::NextWindowMode(WinMode);
    SetWmode();
    profile_.WriteSetting(st::kMode, st::kModeValue, st::WindowModeSetting(WinMode));
}

void Form1::everfront_Click() {
    FrontFlag = 1 - FrontFlag;
    everfront->setChecked(FrontFlag != 0);
    SetFront(FrontFlag);
}

void Form1::SaveWpos() {
    const QPoint p = positionTwips();
    if (p.x() == WposX && p.y() == WposY) return;
    WposX = p.x();
    WposY = p.y();
    profile_.WriteSetting(st::kPosition, st::kX, core::FormatNumber(WposX));
    profile_.WriteSetting(st::kPosition, st::kY, core::FormatNumber(WposY));
}

void Form1::shutDown() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    CurrentItem = -1;
    SaveWpos();
    Timer1->stop();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void Form1::Command3_Click() {
    shutDown();
}

void Form1::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

}  // namespace brim::ui
