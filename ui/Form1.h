#pragma once
// The main window: keyword box, result list, button row, edit boxes, menu.
// Names follow the window's design: Command1 … Command11, Text2 … Text6,
// Label1 … Label7, Combo1, ListView1, Timer1, and the menu items.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/Catalog.h"
#include "core/Export.h"
#include "core/KeywordLists.h"
#include "core/Profile.h"
#include "core/Search.h"
#include "platform/CaseMapper.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/Opener.h"
#include "platform/PageSource.h"
#include "platform/ProgramShortcuts.h"
#include "platform/Services.h"
#include "platform/Trash.h"
#include "ui/Dialogs.h"
#include "ui/ResultListModel.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTimer;
class QTreeView;

namespace brim::ui {

// What the window needs of the system.
struct Services {
    platform::FileSystem& fs;
    const platform::CodePage& codePage;
    const platform::KnownFolders& folders;
    const platform::CaseMapper& caseMapper;
    platform::Opener& opener;
    platform::PageSource& pages;
    platform::Trash& trash;
    platform::ProgramShortcuts& shortcuts;
    Dialogs& dialogs;
};

// The window's view of the system's services, with `dialogs` to ask and tell.
inline Services servicesOf(platform::Services& s, Dialogs& dialogs) {
    return {*s.fs,    *s.codePage, *s.folders,   *s.caseMapper, *s.opener,
            *s.pages, *s.trash,    *s.shortcuts, dialogs};
}

class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;

class Form1 final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: settings, window mode and position, the first fill; `argument`
    // is the program's command line taken whole (a favorite's path, or empty).
    void startUp(const QString& argument);

    // The list model and the globals the handlers share.
    std::int32_t WinMode = 2;
    std::int32_t FrontFlag = 1;
    std::int32_t ListMode = core::kListFavorites;
    std::int32_t ItemCount = 0;
    std::int32_t FolderCount = 0;
    std::int32_t WposX = 0;
    std::int32_t WposY = 0;
    int CurrentItem = -1;  // row index, -1 for none
    static constexpr std::int32_t MaxKeywords = static_cast<std::int32_t>(core::kMaxKeywords);
    std::vector<std::string> SearchKeys;  // the keywords of the last search
    std::string FavoritesRoot, DesktopDir, SendToDir;

    // Procedures.
    void allFile();
    void allFolder();
    void SetFilePs(const QString& path);
    void SetSitePs();
    void SetWmode();
    void SetFront(std::int32_t flag);
    void SaveWpos();
    void searchFile(const QString& text);
    void Savefiles();
    void Movetrash();
    void openIE();
    void LoadKeywords();
    void RebuildKeywordList();
    void RecordKeyword();
    // The options dialog, created (and loaded from the settings) on first use.
    Form3& form3();
    Form2& form2() { return *form2_; }
    // The Auto Copy dialog, created on first use.
    Form7& form7();
    Form4& form4();
    Form5& form5();
    Form6& form6();
    // Opens a document with the desktop's opener, saying what went wrong.
    void OpenDocument(const std::string& file);
    // Fills the list with open browser pages; returns how many.
    std::int32_t showPages(const std::vector<platform::BrowserPage>& pages);
    // Lists the open browser pages; one goes into the boxes at once when the
    // Auto Copy dialog says so. Returns the number of rows.
    std::int32_t IEn();

    ResultListModel& listModel() { return model_; }
    // The window's size and position in twips, as the layouts give them.
    QSize sizeTwips() const;
    QPoint positionTwips() const;

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command6_Click();
    void Command8_Click();
    void Command10_Click();
    void everfront_Click();
    void setKEYWORD_Click();
    void clearKey_Click();
    void PKEYS_Click();
    void autoCP_Click();
    void delfolder_Click();
    void mkHTML_Click();
    void toCSV_Click();
    void toBookmarks_Click();
    void setHTML_Click();
    void mkstcut_Click();
    void ophelp_Click();
    void showV_Click();
    void ListView1_Click();
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);  // 1-based

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildMenu();
    void setCountCaption(const char* prefix, std::int64_t n);
    // Replaces the list's columns and rows; column widths in fifths of its width.
    void fillList(const QStringList& headers, const std::vector<int>& fifths,
                  std::vector<ResultListModel::Row> rows);
    // Sets the window's size in twips.
    void setSizeTwips(int width, int height);
    void setComboWidthTwips(int width);
    // Fills the list with favorites rows from `walk`, which feeds them in.
    void fillFavorites(const std::function<void(const core::RowSink&)>& walk);
    void placeWindow();
    // Selects the first row and takes it into the boxes as a click would.
    void takeOverFirstRow();
    // The rows the exports write: 1 to ItemCount, in the list's order.
    std::vector<core::ListRow> exportRows() const;
    // What an export asks and writes.
    struct ExportKind {
        QString emptyList;  // the message when the list has no rows
        QString prompt;
        QString title;
        QString proposed;
        const char* extension;
    };
    using MakeExport = std::function<std::string(const core::Exporter&,
                                                 const std::vector<core::ListRow>&, bool pages)>;
    // Asks for a name until it is free on the Desktop and writes the rows
    // there as `make` renders them; true when the file was written.
    bool exportToDesktop(const ExportKind& kind, const MakeExport& make);
    void shutDown();

    Services services_;
    core::Profile profile_;
    std::unique_ptr<core::Catalog> catalog_;
    std::unique_ptr<core::Search> search_;
    Form2* form2_ = nullptr;
    Form3* form3_ = nullptr;
    Form7* form7_ = nullptr;
    Form4* form4_ = nullptr;
    Form5* form5_ = nullptr;
    Form6* form6_ = nullptr;
    ResultListModel model_;
    bool shuttingDown_ = false;

  public:
    // Controls, named as in the design.
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command11 = nullptr;
    QToolButton* Command10 = nullptr;
    QLabel* Label7 = nullptr;
    QTimer* Timer1 = nullptr;
    QTreeView* ListView1 = nullptr;
    QToolButton* Command6 = nullptr;
    QToolButton* Command2 = nullptr;
    QToolButton* Command1 = nullptr;
    QToolButton* Command8 = nullptr;
    QToolButton* Command4 = nullptr;
    QToolButton* Command5 = nullptr;
    QToolButton* Command9 = nullptr;
    QToolButton* Command3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QToolButton* Command7 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPlainTextEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    // Menu items.
    QAction* savemenu = nullptr;
    QAction* Mdelete = nullptr;
    QAction* delfolder = nullptr;
    QAction* openurl = nullptr;
    QAction* mkHTML = nullptr;
    QAction* exitprogram = nullptr;
    QAction* autoCP = nullptr;
    QAction* setHTML = nullptr;
    QAction* setKEYWORD = nullptr;
    QAction* everfront = nullptr;
    QAction* clearKey = nullptr;
    QAction* PKEYS = nullptr;
    QAction* toCSV = nullptr;
    QAction* toBookmarks = nullptr;
    QAction* mkstcut = nullptr;
    QAction* ophelp = nullptr;
    QAction* showV = nullptr;
};

}  // namespace brim::ui
