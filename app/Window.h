#pragma once
// The main window's state and rules, whatever toolkit draws it. Names are the
// form's own: WinMode, ListMode, ItemCount, searchFile, Savefiles,
// Movetrash, the handlers Command1_Click … and the menu items' handlers.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/Exports.h"
#include "app/FavoriteIndex.h"
#include "app/FillControl.h"
#include "app/Keywords.h"
#include "app/LinkCheckDialog.h"
#include "app/LiveSearch.h"
#include "app/Prompts.h"
#include "app/ResultList.h"
#include "app/Scheduler.h"
#include "app/Settings.h"
#include "app/View.h"
#include "core/Catalog.h"
#include "core/Export.h"
#include "core/LinkState.h"
#include "core/Profile.h"
#include "core/RowCache.h"
#include "core/Search.h"
#include "platform/Services.h"

namespace brim::app {

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
    const platform::BrowserProfiles& browsers;  // where the import finds the browsers' stores
    // Follows what other programs change in the tree; none: the favorites
    // held in memory are read again only by a fill.
    platform::TreeWatcher* watcher = nullptr;
    // The system's proxies for the link check; none: the environment's alone.
    const platform::SystemProxySource* proxy = nullptr;
};

inline Services servicesOf(platform::Services& s) {
    return {*s.fs,    *s.codePage,  *s.folders,  *s.caseMapper,   *s.opener,    *s.pages,
            *s.trash, *s.shortcuts, *s.browsers, s.watcher.get(), s.proxy.get()};
}

// The size a fill gives the compact strip, so that the list shows.
inline constexpr Twips kEnlargedSize{6285, 3660};
// How often the window's position is looked at and, when it moved, stored.
inline constexpr int kPositionTimerMs = 3000;

inline constexpr const char* kWindowTitle = "Brimmark - 私のお気に入り v1.3";
inline constexpr const char* kHomePage = "https://brimmark.example/";
inline constexpr const char* kMail = "support@brimmark.example";

class Window {
  public:
    // The fills run through `scheduler`; without one they run to their end
    // within the command that starts them.
    Window(Services services, View& view, Prompts& prompts, Scheduler* scheduler = nullptr);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Start-up: settings, window mode and position, the first fill; `argument`
    // is the program's command line taken whole (a favorite's path, or empty).
    void startUp(const std::string& argument);

    std::int32_t winMode() const { return WinMode; }
    // A mode takes effect with the next SetWmode, as the mode button does it.
    void setWinMode(std::int32_t mode) { WinMode = mode; }
    std::int32_t frontFlag() const { return FrontFlag; }
    std::int32_t listMode() const { return ListMode; }
    std::int32_t itemCount() const { return ItemCount; }
    std::int32_t folderCount() const { return FolderCount; }
    int currentItem() const { return CurrentItem; }
    const std::vector<std::string>& searchKeys() const { return SearchKeys; }

    const ResultList& list() const { return list_; }
    KeywordBox& keywords() { return keywords_; }
    // The Favorites tree the window shows; there from start-up on.
    const core::Catalog& catalog() const { return *catalog_; }
    const platform::BrowserProfiles& browsers() const { return services_.browsers; }
    SearchOptionsDialog& searchOptions();  // loaded from the settings on first use
    HtmlOptionsDialog& htmlOptions() { return html_; }
    AutoCopyDialog& autoCopy() { return autoCopy_; }
    SettingsWriter& settings() { return settings_; }
    Twips storedPosition() const { return {WposX, WposY}; }

    // Fills. The favorites, the folder list and the searches run away from the
    // window's thread: rows come in batches, the count grows, the view is busy.
    bool isFilling() const { return fills_.running(); }
    // Ends the running fill, keeping the rows it has found (Esc).
    void stopFill();
    // Waits for the running fill to end and shows all of its rows.
    void finishFill();

    void allFile();
    void allFolder();
    void searchFile(const std::string& text);
    // Fills the list with open browser pages; returns how many.
    std::int32_t showPages(const std::vector<platform::BrowserPage>& pages);
    // Lists the open browser pages; a single one goes into the boxes when
    // Auto Copy says so. Returns the number of rows.
    std::int32_t IEn();

    // The boxes.
    // `file`: the favorite's file as on disk, when a row gives it.
    void SetFilePs(const std::string& path, const std::string& file = {});
    // Takes a page row into the boxes; the focus goes to the comment box
    // unless `focusComment` is false.
    void SetSitePs(int row, bool focusComment = true);

    // Modes and position.
    void SetWmode();
    void SetFront(std::int32_t flag);
    void SaveWpos();

    void Savefiles();
    void Movetrash();
    // Says when the Favorites folder is missing or cannot be read, naming it
    // and how to choose another; true when it can be read.
    bool checkFavoritesFolder();
    void openIE();
    // Opens a document with the desktop's opener, saying what went wrong.
    void OpenDocument(const std::string& file);

    // Handlers.
    void Command1_Click();   // Folder
    void Command2_Click();   // same
    void Command4_Click();   // 開く
    void Command6_Click();   // Get
    void Command8_Click();   // Search, Go, Enter
    void Command10_Click();  // the mode button
    void shutDown();         // 終了, closing the window
    void everfront_Click();
    void clearKey_Click();
    void delfolder_Click();
    // Names in the code page renamed to UTF-8 once the user agrees; the list
    // is filled again.
    void fixNames_Click();
    void mkHTML_Click();
    void toCSV_Click();
    void toBookmarks_Click();
    void ophelp_Click();
    // The About box's link.
    void openHomePage();
    // The shortcut dialog's "作成": a launcher in the send-to folder and/or on the Desktop.
    void createShortcuts(bool sendTo, bool desktop);
    // The user typed into the keyword box: the entries that fit are offered,
    // and the list shows what the text finds when the window searches as the
    // user types.
    void Combo1_Change();
    // "入力中に検索": the list follows the keyword box, or waits for Enter.
    void typesearch_Click();
    // "一覧をキャッシュに保存": off, the walks read every file and the rows'
    // cache file of this tree goes at once; on, the next whole fill writes it.
    void rowcache_Click();
    bool keepsRowCache() const { return rowCacheOn_; }
    // True when the next keystroke shows what it finds: the setting is on and
    // the favorites are held in memory.
    bool searchesAsTyped() const;
    // Other programs changed the folders at these system paths: they are read
    // again, and the list of a search as typed follows.
    void refreshFolders(std::vector<std::string> paths);
    // Every folder is checked again, as when changes may have gone unreported.
    void revalidate();
    void ListView1_Click(int row);
    void ListView1_DblClick();
    // The selection moved to `row` by keyboard: the boxes take the row as a
    // click fills them, and the focus stays in the list for the next key.
    void ListView1_KeyMove(int row);
    // Enter on `row`: what a double click on it does.
    void ListView1_Enter(int row);
    // Sorts, keeping the selected row selected.
    void ListView1_ColumnClick(int column);  // 1-based

    // The link check of the favorite rows the list shows, told to `view`
    // (LinkCheckDialog); with `uncheckedForDays`, those checked more recently
    // keep the state file's result. Returns how many rows it takes.
    std::size_t startLinkCheck(LinkCheckView& view,
                               std::optional<double> uncheckedForDays = std::nullopt);
    void stopLinkCheck();
    // The dialog closed: a check still running is stopped and told nowhere.
    void leaveLinkCheck();
    bool isCheckingLinks() const { return linkRun_ && linkRun_->running(); }
    // The last check's results, by the favorite's file as on disk.
    const LinkResults& linkResults() const { return linkResults_; }
    // What the last check found gone, to the trash once the user agrees.
    void trashGone_Click();
    // The favorites the last check found moved: their new address written.
    void updateMoved_Click();
    // The list filled with the favorites that lead to the same page, by group.
    void duplicates_Click();
    // The selected favorite of a group kept, the group's others to the trash.
    void keepOne_Click();

  private:
    // What a fill's count counts.
    enum class Counted { Items, Folders };
    void fillList(std::vector<std::string> headers, const std::vector<int>& fifths,
                  std::vector<Row> rows, std::vector<Cell> files = {});
    // Searches the held favorites for what the keyword box holds.
    void searchAsTyped();
    // The index was read again: the list that shows what it holds follows it.
    void followIndex();
    // Every favorite the index holds, in place of the whole list shown.
    void showWholeAgain(FavoriteIndex::Found&& found);
    // The rows a search as typed found for `text`.
    void showTyped(const std::string& text, FavoriteIndex::Found&& found);
    // The held favorites of the folder of the file at `path` are read again.
    void refreshFileFolder(const std::string& path);
    // Clears the list and starts `walk` on the scheduler.
    void startFill(std::vector<std::string> headers, const std::vector<int>& fifths,
                   const char* caption, Counted counted, FillControl::Walk walk,
                   std::function<void()> done = {});
    // A fill's walk ended: what it failed on or has to say is said, and what
    // follows a whole list is done (`done`).
    void fillEnded(const FillJob::Batch& last, bool stopped, bool foundNothing,
                   const std::function<void()>& done);
    using FavoritesWalk = std::function<void(const core::RowSink&, const core::ProblemSink&,
                                             const core::WalkControl&)>;
    void fillFavorites(FavoritesWalk walk, std::function<void()> done = {});
    // Ends the running fill; its rows not yet shown are dropped.
    void cancelFill();
    void fillAll(bool enlarge);
    // What the boxes and the keyword box hold, to see whether the user typed.
    std::vector<std::string> typedTexts() const;
    void setCountCaption(const char* prefix, std::int64_t n);
    void applyLayout(const WindowLayout& layout);
    // Greys the menu items that need the boxes, or makes them usable again.
    void greyInStrip(bool strip);
    // The file of the selected favorite row while the boxes still show its
    // folder and name; empty otherwise.
    std::string selectedFile(const std::string& folder, const std::string& name) const;
    // The list's rows of the favorite saved at `path` show its stored comment.
    void showSavedComment(const std::string& path);
    // Selects the first row and takes it into the boxes as a click would.
    void takeOverFirstRow();
    // A click's or a keyboard move's work on `row`.
    void showRow(int row, bool byKey);
    std::vector<core::ListRow> exportRows() const;
    // The whole list as a file on the Desktop, under a name the user gives.
    void exportList(ExportFormat format);

    std::int32_t WinMode = 2;
    std::int32_t FrontFlag = 1;
    std::int32_t ListMode = core::kListFavorites;
    std::int32_t ItemCount = 0;
    std::int32_t FolderCount = 0;
    int CurrentItem = -1;                 // row index, -1 for none
    std::vector<std::string> SearchKeys;  // the keywords of the last search

    Services services_;
    View& view_;
    Prompts& prompts_;
    core::Profile profile_;
    SettingsWriter settings_;
    std::string FavoritesRoot, DesktopDir, SendToDir;
    // The rows' cache and its file on disk; none without a cache folder. The
    // catalog reads through it while the setting keeps it on.
    std::unique_ptr<core::RowCache> rowCache_;
    bool rowCacheOn_ = false;
    std::string rowCacheFile_;
    std::mutex rowCacheSaving_;    // one save at a time, whichever fill ends
    bool rowCacheLoaded_ = false;  // by the first whole fill, off the window's thread
    std::unique_ptr<core::Catalog> catalog_;
    std::unique_ptr<FavoriteIndex> index_;
    std::unique_ptr<core::Search> search_;
    ResultList list_;
    KeywordBox keywords_;
    std::optional<SearchOptionsDialog> searchOptions_;
    HtmlOptionsDialog html_;
    AutoCopyDialog autoCopy_;
    std::int32_t WposX = 0;
    std::int32_t WposY = 0;
    bool shuttingDown_ = false;

    bool startingUp_ = false;  // start-up checks the Favorites folder once, at its end
    bool typeSearch_ = true;   // the list follows the keyword box
    bool typedEarly_ = false;  // typed before the favorites were held: searched once they are
    bool showsTyped_ = false;  // the list shows a search as typed
    bool showsAll_ = false;    // the list shows every favorite, as a whole fill left it
    bool indexRows_ = false;   // the list's rows point into the index's text
    // Folders read again away from the window's thread: the window waits for
    // them before the index goes. Posted tasks find the window through `self_`.
    struct Refreshes {
        std::mutex mutex;
        std::condition_variable ended;
        int running = 0;
    };
    // False when it could not start (the index not ready, no thread for it).
    bool refreshInBackground(std::function<void(FavoriteIndex&)> refresh);
    std::shared_ptr<Refreshes> refreshes_ = std::make_shared<Refreshes>();
    std::shared_ptr<Window*> self_ = std::make_shared<Window*>(this);

    ImmediateScheduler immediate_;
    // Its walks read through the catalog and fill the index: it goes before them.
    FillControl fills_;

    // The link check's and the duplicates' (WindowLinks.cpp).
    std::vector<std::string> favoriteHeaders() const;
    std::vector<int> favoriteFifths() const;
    // The list filled with favorite rows the index found, with their "Link" cells.
    void fillFavoriteRows(std::vector<Row> rows, std::vector<Cell> files);
    // Empties the list before rows of the index replace it.
    void letGoOfRows();
    // The "Link" cell of a favorite row, from the last check's results.
    void setLinkCell(Row& row, std::string_view file) const;
    // The list's favorite rows with the last check's results in their column.
    void showLinkResults();
    // Moves `files` to the trash without asking again; returns those moved,
    // and says which were not.
    std::vector<std::string> trashFiles(const std::vector<std::string>& files);
    // Takes the rows of `files` out of the list.
    void dropRows(const std::vector<std::string>& files);
    // Where the link check's results are kept; empty for nowhere.
    std::string linkStateFile() const;
    // Lays `changes` over the kept results.
    void saveLinkState(const core::LinkState& changes);
    // Forgets in `changes` the records of `urls` that no favorite but the
    // files `leaving` leads to, and that `changes` does not record anew;
    // keeps them all when the index cannot tell.
    void forgetUnused(core::LinkState& changes, const FavoriteIndex::Names& urls,
                      const FavoriteIndex::Names& leaving) const;
    Scheduler* scheduler_ = nullptr;
    LinkResults linkResults_;
    LinkCheckView* linkView_ = nullptr;
    // The groups the duplicates' fill showed, by file; none once another fill ran.
    std::vector<std::vector<std::string>> duplicateGroups_;
    // The sort the user chose, held while the duplicates show unsorted and
    // brought back by the next fill.
    struct HeldSort {
        int column;
        bool descending;
    };
    std::optional<HeldSort> heldSort_;
    // After fills_, so that it goes before the catalog its checks read through.
    std::unique_ptr<LinkCheckRun> linkRun_;
    // Its searches read the index: it goes before it.
    std::unique_ptr<LiveSearch> live_;
    // Told of the tree's changes on the watch's thread; the watch goes first.
    void followTree();
    std::unique_ptr<platform::TreeListener> follower_;
    // The watch, set up off the window's thread.
    struct Watching {
        std::mutex mutex;
        bool starting = false;
        std::unique_ptr<platform::TreeWatch> watch;
    } watching_;
};

}  // namespace brim::app
