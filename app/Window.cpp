#include "app/Window.h"

#include "app/Messages.h"
#include "core/Numbers.h"
#include "core/Pages.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "platform/NativePaths.h"

namespace brim::app {
namespace st = core::settings;

Window::Window(Services services, View& view, Prompts& prompts, Scheduler* scheduler)
    : services_(services),
      view_(view),
      prompts_(prompts),
      profile_(services.fs, services.codePage, services.folders),
      settings_(profile_, services.folders.settingsFile(), prompts),
      list_(services.caseMapper),
      keywords_(view, settings_, services.caseMapper),
      html_(settings_),
      autoCopy_(settings_),
      fills_(scheduler ? *scheduler : immediate_) {
    scheduler_ = scheduler ? scheduler : &immediate_;
}

// The walks still running read through the catalog: fills_, made after it,
// goes first and waits for them.
Window::~Window() {
    self_.reset();
    std::unique_lock lock(refreshes_->mutex);
    refreshes_->ended.wait(lock, [&] { return refreshes_->running == 0; });
}

void Window::startUp(const std::string& argument) {
    const auto& folders = services_.folders;
    FavoritesRoot = folders.favorites();
    DesktopDir = folders.desktop();
    SendToDir = folders.sendTo();
    typeSearch_ = st::SwitchFromSetting(settings_.read(st::kTypeSearch, st::kSwitchValue));
    rowCacheOn_ = st::SwitchFromSetting(settings_.read(st::kRowCache, st::kSwitchValue));
    const std::string& codePage = services_.codePage.name();
    rowCacheFile_ = core::RowCache::fileFor(folders.cacheFolder(), FavoritesRoot, codePage);
    // Made whether on or not, so that the menu can turn it on later.
    if (!rowCacheFile_.empty())
        rowCache_ = std::make_unique<core::RowCache>(FavoritesRoot, codePage);
    catalog_ = std::make_unique<core::Catalog>(services_.fs, profile_, FavoritesRoot,
                                               rowCacheOn_ ? rowCache_.get() : nullptr);
    search_ = std::make_unique<core::Search>(*catalog_, services_.caseMapper);
    index_ = std::make_unique<FavoriteIndex>(*catalog_, services_.caseMapper);
    live_ = std::make_unique<LiveSearch>(*index_, *scheduler_);
    view_.setMenuChecked(Id::typesearch, typeSearch_);
    view_.setMenuChecked(Id::rowcache, rowCacheOn_);
    FrontFlag = 1;
    startingUp_ = true;

    WposX = st::WholeNumberFromSetting(settings_.read(st::kPosition, st::kX));
    WposY = st::WholeNumberFromSetting(settings_.read(st::kPosition, st::kY));
    WinMode = st::WindowModeFromSetting(settings_.read(st::kMode, st::kModeValue));
    keywords_.LoadKeywords();

    if (!argument.empty()) {
        WinMode = st::kFullLayout;
        SetFilePs(core::LongPathName(services_.fs, argument));
        Command2_Click();
    } else if (IEn() == 0) {
        // The window mode applied below decides the size.
        fillAll(false);
    }

    view_.moveTwips({WposX, WposY});
    SetWmode();
    view_.showWindow();
    view_.focus(Id::Combo1);
    startingUp_ = false;
    checkFavoritesFolder();
}

bool Window::checkFavoritesFolder() {
    platform::FileSystem& fs = services_.fs;
    const std::string folder =
        platform::NativePaths::native().withoutTrailingSeparator(FavoritesRoot);
    const auto attributes = fs.attributes(folder);
    std::string problem;
    if (!attributes) {
        problem = "が見つかりません。";
    } else if (!(*attributes & platform::kDirectory)) {
        problem = "はフォルダではありません。";
    } else if (!fs.openFolder(FavoritesRoot)) {
        problem = "を読み取れません。";
    } else {
        return true;
    }
    const std::string variable = services_.folders.favoritesVariable();
    const std::string howTo =
        variable.empty()
            ? "別のフォルダを使うには、エクスプローラーで「お気に入り」フォルダのプロパティを開き、"
              "「場所」タブで指定してください。"
            : "別のフォルダを使うには、環境変数 " + variable +
                  " にそのフォルダを指定して、Brimmark を起動し直してください。";
    prompts_.message("お気に入りフォルダ「" + folder + "」" + problem + "\n" + howTo);
    return false;
}

SearchOptionsDialog& Window::searchOptions() {
    if (!searchOptions_) searchOptions_.emplace(settings_);
    return *searchOptions_;
}

void Window::fillList(std::vector<std::string> headers, const std::vector<int>& fifths,
                      std::vector<Row> rows, std::vector<Cell> files) {
    // Whatever fill or search as typed ran, its rows never reach this list.
    cancelFill();
    duplicateGroups_.clear();
    if (live_) live_->drop();
    showsTyped_ = false;
    showsAll_ = false;
    indexRows_ = false;
    list_.fill(std::move(headers), std::move(rows), std::move(files));
    if (heldSort_) {
        list_.sortBy(heldSort_->column, heldSort_->descending);
        heldSort_.reset();
    }
    view_.setColumns(list_.headers(), fifths);
    // New columns come without the sort's mark (a Win32 header loses it).
    if (list_.isSorted()) view_.setSortIndicator(list_.sortColumn(), list_.descending());
    view_.setRows(list_.rows());
    CurrentItem = -1;
}

void Window::fillFavoriteRows(std::vector<Row> rows, std::vector<Cell> files) {
    // The last check's column stays, as it does in a fill.
    if (!linkResults_.empty())
        for (std::size_t i = 0; i < rows.size() && i < files.size(); ++i)
            setLinkCell(rows[i], files[i]);
    fillList(favoriteHeaders(), favoriteFifths(), std::move(rows), std::move(files));
}

void Window::setCountCaption(const char* prefix, std::int64_t n) {
    view_.setCount(core::CountCaption(prefix, n));
}

void Window::startFill(std::vector<std::string> headers, const std::vector<int>& fifths,
                       const char* caption, Counted counted, FillControl::Walk walk,
                       std::function<void()> done) {
    fillList(std::move(headers), fifths, {});
    std::int32_t& count = counted == Counted::Folders ? FolderCount : ItemCount;
    count = 0;
    setCountCaption(caption, 0);
    view_.setBusy(true);
    // Start-up looks at the Favorites folder itself, once the window is shown.
    const bool checkFolder = !startingUp_;
    fills_.start(std::move(walk),
                 {[this, caption, &count](FillJob::Batch& batch) {
                      const auto added = static_cast<std::int32_t>(batch.rows.size());
                      if (ListMode == core::kListFavorites && !linkResults_.empty())
                          for (std::size_t i = 0; i < batch.rows.size() && i < batch.files.size();
                               ++i)
                              setLinkCell(batch.rows[i], batch.files[i]);
                      if (list_.append(batch.rows, std::move(batch.files), &CurrentItem)) {
                          view_.setRows(list_.rows());
                          // The selected row stays selected among the rows placed around it.
                          if (CurrentItem >= 0) view_.selectRow(CurrentItem);
                      } else {
                          view_.addRows(batch.rows);
                      }
                      count += added;
                      setCountCaption(caption, count);
                  },
                  [this, checkFolder, &count, done = std::move(done)](const FillJob::Batch& last,
                                                                      bool stopped) {
                      fillEnded(last, stopped, checkFolder && count == 0, done);
                  }});
}

void Window::fillEnded(const FillJob::Batch& last, bool stopped, bool foundNothing,
                       const std::function<void()>& done) {
    view_.setBusy(false);
    // A fill that found nothing may have found no Favorites folder; one
    // that failed says why itself.
    if (foundNothing && !last.failure) checkFavoritesFolder();
    if (last.failure) prompts_.message(fillFailedText(last.failure));
    // A stopped fill's list is not the whole one its notice speaks of, and
    // what follows a fill is for a whole list only.
    if (stopped) return;
    if (!last.notice.empty()) prompts_.message(last.notice);
    if (done && !last.failure) done();
}

void Window::stopFill() {
    if (fills_.stop()) view_.setBusy(false);
}

void Window::finishFill() {
    fills_.finish();
}

void Window::cancelFill() {
    if (fills_.cancel()) view_.setBusy(false);
}

std::vector<std::string> Window::typedTexts() const {
    std::vector<std::string> texts;
    for (const Id b : {Id::Combo1, Id::Text2, Id::Text3, Id::Text4, Id::Text5, Id::Text6})
        texts.push_back(view_.text(b));
    return texts;
}

void Window::fillFavorites(FavoritesWalk walk, std::function<void()> done) {
    ListMode = core::kListFavorites;
    startFill(
        favoriteHeaders(), favoriteFifths(), "ファイル数:", Counted::Items,
        [walk = std::move(walk), codePage = services_.codePage.name()](
            FillJob& job, const core::WalkControl& control) {
            // Names shown other than as on disk are told of once the list is
            // whole, counting only those of the rows it holds.
            core::ShownNameCount shown;
            std::vector<std::string> files;
            walk(
                [&](core::FavoriteItem&& item) {
                    if (!shown.empty()) files.push_back(item.path);
                    auto cells = sharedCells<4>({std::move(item.name), std::move(item.folder),
                                                 std::move(item.comment), std::move(item.path)});
                    job.add({std::move(cells[0]), std::move(cells[1]), std::move(cells[2])},
                            std::move(cells[3]));
                },
                [&shown](const core::WalkProblem& p) { shown.note(p); }, control);
            job.tell(shownNamesText(shown.among(files), codePage));
        },
        std::move(done));
}

void Window::allFile() {
    fillAll(true);
}

void Window::fillAll(bool enlarge) {
    // The walk of the whole list is the one the index keeps; the cache that
    // spared it reading files is loaded before the first and saved after each.
    const bool load = rowCacheOn_ && !rowCacheLoaded_;
    if (load) rowCacheLoaded_ = true;
    fillFavorites(
        [index = index_.get(), catalog = catalog_.get(), &file = rowCacheFile_,
         &saving = rowCacheSaving_, &fs = services_.fs,
         load](const core::RowSink& add, const core::ProblemSink& problem,
               const core::WalkControl& control) {
            if (core::RowCache* cache = catalog->cache(); cache && load) cache->loadFile(fs, file);
            index->walk(add, problem, control);
            if (control.stopped()) return;
            // Looked at under the lock the menu takes to remove the file, so
            // that a cache turned off meanwhile is never written again.
            const std::lock_guard lock(saving);
            // One that cannot be written costs the next start its reads only.
            if (core::RowCache* cache = catalog->cache())
                static_cast<void>(cache->saveFile(fs, file));
        },
        [this, enlarge] {
            if (enlarge && WinMode == st::kCompact)
                view_.setSizeTwips(kEnlargedSize, Sizing::Exact);
            showsAll_ = true;
            followTree();
            // What was typed while the favorites were being read is searched now.
            if (typedEarly_) {
                typedEarly_ = false;
                if (searchesAsTyped()) searchAsTyped();
            }
        });
}

void Window::searchFile(const std::string& text) {
    SetWmode();
    if (text.empty()) {
        allFile();
        return;
    }
    SearchKeys = core::SplitKeywords(text);
    const core::Search* search = search_.get();
    // What the user types while the search runs is never overwritten.
    auto typed = typedTexts();
    fillFavorites(
        [search, keys = SearchKeys, options = searchOptions().options(), root = FavoritesRoot](
            const core::RowSink& add, const core::ProblemSink& problem,
            const core::WalkControl& control) {
            search->SearchDir(root, keys, options, add, problem, control);
        },
        [this, typed = std::move(typed)] {
            const bool untouched = typedTexts() == typed;
            const bool takeOver = untouched && ItemCount == 1 && autoCopy_.takesMatch();
            if (takeOver) {
                takeOverFirstRow();
                view_.focus(Id::Command4);
            }
            if (WinMode != st::kCompact) return;
            if (ItemCount != 1) {
                view_.setSizeTwips(kEnlargedSize, Sizing::Exact);
            } else if (untouched) {
                // The one match is taken into the boxes first, so that what opens is
                // its own address and never one the boxes held before.
                if (!takeOver) takeOverFirstRow();
                openIE();
            }
        });
}

void Window::Command8_Click() {
    const std::string text = view_.text(Id::Combo1);
    searchFile(text);
    keywords_.RecordKeyword(text);
}

void Window::Command2_Click() {
    SearchKeys = {view_.text(Id::Text4)};
    const core::Search* search = search_.get();
    fillFavorites([search, url = SearchKeys.front(), options = searchOptions().options()](
                      const core::RowSink& add, const core::ProblemSink& problem,
                      const core::WalkControl& control) {
        search->Same(url, options, add, problem, control);
    });
}

void Window::Command1_Click() {
    allFolder();
}

void Window::allFolder() {
    ItemCount = 0;
    ListMode = core::kListFolders;
    const core::Catalog* catalog = catalog_.get();
    startFill({"Folder"}, {5}, "フォルダ数:", Counted::Folders,
              [catalog](FillJob& job, const core::WalkControl& control) {
                  catalog->ListFolder(
                      catalog->FavoritesRoot(),
                      [&job](std::string&& label) {
                          job.add({std::move(label), {}, {}});
                      },
                      {}, control);
              });
}

std::int32_t Window::showPages(const std::vector<platform::BrowserPage>& pages) {
    std::vector<Row> rows;
    rows.reserve(pages.size());
    for (const auto& page : pages)
        rows.push_back({page.title, page.url, {}});
    ItemCount = static_cast<std::int32_t>(rows.size());
    ListMode = core::kListPages;
    fillList({"site", "URL"}, {2, 3}, std::move(rows));
    setCountCaption("サイト数:", ItemCount);
    return ItemCount;
}

std::int32_t Window::IEn() {
    const std::int32_t n = showPages(core::CapturePages(services_.pages.openPages()));
    if (n == 1 && autoCopy_.takesPage()) {
        view_.selectRow(0);
        SetSitePs(0);
    }
    return n;
}

void Window::Command6_Click() {
    IEn();
    view_.focus(Id::Text5);
}

void Window::takeOverFirstRow() {
    view_.selectRow(0);
    ListView1_Click(0);
}

void Window::SetFilePs(const std::string& path, const std::string& file) {
    const core::FavoriteFields f = catalog_->fieldsOf(path, file);
    view_.setText(Id::Text2, f.folder);
    view_.setText(Id::Text6, f.folder);
    view_.setText(Id::Text3, f.name);
    view_.setText(Id::Text4, f.url);
    view_.setText(Id::Text5, f.comment);
}

void Window::SetSitePs(int row, bool focusComment) {
    const Row* r = list_.row(row);
    if (!r) return;
    CurrentItem = row;
    // A page without a title leaves the boxes as they were.
    if ((*r)[0].empty()) return;
    view_.setText(Id::Text3, (*r)[0].str());
    view_.setText(Id::Text4, (*r)[1].str());
    view_.setText(Id::Text5, {});
    view_.setText(Id::Text2, "[Internet]");
    if (focusComment) view_.focus(Id::Text5);
}

void Window::Combo1_Change() {
    view_.offerKeywords(keywords_.offersFor(view_.text(Id::Combo1)));
    if (!typeSearch_ || !live_) return;
    if (!index_->ready()) {
        typedEarly_ = true;
        return;
    }
    searchAsTyped();
}

bool Window::searchesAsTyped() const {
    return typeSearch_ && index_ && index_->ready();
}

void Window::searchAsTyped() {
    // Typing may come before the whole list's fill has ended, and replaces
    // it: the tree is watched from the moment the favorites are held.
    followTree();
    const std::string text = view_.text(Id::Combo1);
    // From the keystroke on, the list follows the box: a refresh of the index
    // before these rows come searches the box again rather than replacing
    // the search with the whole list.
    showsTyped_ = true;
    // Typing records nothing and takes nothing into the boxes: the rows only.
    live_->start(text, searchOptions().options(),
                 [this, text](FavoriteIndex::Found&& found) { showTyped(text, std::move(found)); });
}

void Window::letGoOfRows() {
    // Freeing a long list takes longer than making the next one: the rows go
    // to the searches as typed, which write over them.
    auto shown = list_.take();
    live_->recycle({std::move(shown.rows), std::move(shown.files)}, indexRows_);
}

void Window::showTyped(const std::string& text, FavoriteIndex::Found&& found) {
    letGoOfRows();
    ListMode = core::kListFavorites;
    FolderCount = 0;
    SearchKeys = core::SplitKeywords(text);
    fillFavoriteRows(std::move(found.rows), std::move(found.files));
    indexRows_ = true;
    showsTyped_ = true;
    ItemCount = list_.size();
    setCountCaption("ファイル数:", ItemCount);
}

void Window::followIndex() {
    if (!index_ || !index_->ready()) return;
    if (showsTyped_) {
        if (searchesAsTyped()) searchAsTyped();
        return;
    }
    if (!showsAll_) return;
    live_->start({}, searchOptions().options(),
                 [this](FavoriteIndex::Found&& found) { showWholeAgain(std::move(found)); });
}

void Window::showWholeAgain(FavoriteIndex::Found&& found) {
    // Sorted as it was, with the selected favorite still selected: only the
    // rows another program changed look different.
    const Cell selected = list_.file(CurrentItem);
    const bool sorted = list_.isSorted();
    const int column = list_.sortColumn();
    const bool descending = list_.descending();
    letGoOfRows();
    fillFavoriteRows(std::move(found.rows), std::move(found.files));
    indexRows_ = true;
    showsAll_ = true;
    ItemCount = list_.size();
    setCountCaption("ファイル数:", ItemCount);
    if (sorted) {
        list_.sortBy(column, descending);
        view_.setRows(list_.rows());
        view_.setSortIndicator(column, descending);
    }
    if (selected.empty()) return;
    for (int i = 0; i < list_.size(); ++i) {
        if (list_.file(i) != selected) continue;
        CurrentItem = i;
        view_.selectRow(i);
        return;
    }
}

void Window::typesearch_Click() {
    typeSearch_ = !typeSearch_;
    view_.setMenuChecked(Id::typesearch, typeSearch_);
    settings_.write(st::kTypeSearch, st::kSwitchValue, st::CheckBoxSetting(typeSearch_ ? 1 : 0));
}

void Window::rowcache_Click() {
    rowCacheOn_ = !rowCacheOn_;
    view_.setMenuChecked(Id::rowcache, rowCacheOn_);
    settings_.write(st::kRowCache, st::kSwitchValue, st::CheckBoxSetting(rowCacheOn_ ? 1 : 0));
    if (!rowCache_) return;
    if (rowCacheOn_) {
        catalog_->setCache(rowCache_.get());
        return;
    }
    catalog_->setCache(nullptr);
    const std::lock_guard lock(rowCacheSaving_);
    // The file is derived and may go at any time; one that cannot be removed
    // is never read while the setting stays off.
    static_cast<void>(services_.fs.removeFile(rowCacheFile_));
    rowCache_->forgetSaved();
}

void Window::refreshFileFolder(const std::string& path) {
    if (!index_ || !index_->ready()) return;
    const std::size_t sep = platform::NativePaths::native().lastSeparator(path);
    if (sep == std::string::npos) return;
    index_->refreshFolders({path.substr(0, sep + 1)});
}

namespace {

// Hands the watch's reports to the window's thread, as long as there is a window.
class TreeFollower final : public platform::TreeListener {
  public:
    TreeFollower(Scheduler& scheduler, std::weak_ptr<Window*> window)
        : scheduler_(scheduler), window_(std::move(window)) {}
    void foldersChanged(const std::vector<std::string>& folders) override {
        scheduler_.post([window = window_, folders] {
            if (const auto w = window.lock()) (*w)->refreshFolders(folders);
        });
    }
    void changesLost(platform::WatchLoss) override {
        scheduler_.post([window = window_] {
            if (const auto w = window.lock()) (*w)->revalidate();
        });
    }

  private:
    Scheduler& scheduler_;
    std::weak_ptr<Window*> window_;
};

}  // namespace

void Window::followTree() {
    if (!services_.watcher || !index_->ready()) return;
    {
        const std::lock_guard lock(watching_.mutex);
        if (watching_.watch || watching_.starting) return;
        watching_.starting = true;
    }
    follower_ = std::make_unique<TreeFollower>(*scheduler_, self_);
    // Watching every folder takes a while on a large tree (a second under
    // Windows), so it starts off the window's thread; what changed since the
    // favorites were read is found by checking every folder again once the
    // watch is there. The window waits for it before it goes.
    const bool started = refreshInBackground([watcher = services_.watcher, root = FavoritesRoot,
                                              follower = follower_.get(),
                                              &watching = watching_](FavoriteIndex& index) {
        std::unique_ptr<platform::TreeWatch> watch;
        try {
            watch = watcher->watch(root, *follower).watch;
        } catch (...) {
            // As a tree that cannot be watched.
        }
        const bool watched = watch != nullptr;
        {
            const std::lock_guard lock(watching.mutex);
            watching.watch = std::move(watch);
            // A tree that cannot be watched is tried again after the next fill.
            watching.starting = false;
        }
        if (watched) index.revalidate();
    });
    if (!started) {
        const std::lock_guard lock(watching_.mutex);
        watching_.starting = false;
    }
}

void Window::refreshFolders(std::vector<std::string> paths) {
    refreshInBackground(
        [paths = std::move(paths)](FavoriteIndex& index) { index.refreshFolders(paths); });
}

void Window::revalidate() {
    refreshInBackground([](FavoriteIndex& index) { index.revalidate(); });
}

bool Window::refreshInBackground(std::function<void(FavoriteIndex&)> refresh) {
    if (!index_ || !index_->ready()) return false;
    {
        const std::lock_guard lock(refreshes_->mutex);
        ++refreshes_->running;
    }
    const auto done = [refreshes = refreshes_] {
        {
            const std::lock_guard lock(refreshes->mutex);
            --refreshes->running;
        }
        refreshes->ended.notify_all();
    };
    try {
        scheduler_->runInBackground([index = index_.get(), refresh = std::move(refresh), done,
                                     &scheduler = *scheduler_,
                                     self = std::weak_ptr<Window*>(self_)] {
            try {
                refresh(*index);
            } catch (...) {
                // Nothing may leave the thread; the index holds what it held.
            }
            // The list of a search as typed, or the whole list, follows what
            // the index holds now.
            scheduler.post([self] {
                const auto window = self.lock();
                if (window) (*window)->followIndex();
            });
            done();
        });
    } catch (...) {
        done();  // no thread for it: the next fill reads the folders
        return false;
    }
    return true;
}

void Window::ListView1_Click(int row) {
    showRow(row, false);
}

void Window::ListView1_KeyMove(int row) {
    showRow(row, true);
}

void Window::ListView1_Enter(int row) {
    if (!list_.row(row)) return;
    ListView1_Click(row);
    ListView1_DblClick();
}

void Window::showRow(int row, bool byKey) {
    const Row* r = list_.row(row);
    if (!r) return;
    CurrentItem = row;
    switch (ListMode) {
        case core::kListFavorites:
            SetFilePs((*r)[1] + (*r)[0], list_.file(row).str());
            break;
        case core::kListFolders: {
            const std::string label = (*r)[0].str();
            view_.setText(Id::Text6, label);
            // Quoted, so that the search takes the label whole; a label with
            // a quote of its own cannot be quoted and goes as it is.
            view_.setText(Id::Combo1,
                          label.find('"') != std::string::npos ? label : '"' + label + '"');
            break;
        }
        case core::kListPages:
            SetSitePs(row, !byKey);
            break;
        default:
            break;
    }
}

void Window::ListView1_DblClick() {
    if (ListMode == core::kListFavorites) openIE();
    if (ListMode == core::kListFolders) Command8_Click();
    SetWmode();
}

void Window::ListView1_ColumnClick(int column) {
    // "Comment" sorts descending, so that the favorites with one come first.
    const bool descending = column == 3;
    heldSort_.reset();
    CurrentItem = list_.sortBy(column - 1, descending, CurrentItem);
    view_.setRows(list_.rows());
    view_.setSortIndicator(column - 1, descending);
    // The selected row stays selected, wherever the sort put it.
    if (CurrentItem >= 0) view_.selectRow(CurrentItem);
}

void Window::applyLayout(const WindowLayout& layout) {
    view_.setSizeTwips({layout.width, layout.height}, layout.sizing);
    view_.setComboWidthTwips(layout.comboWidth);
}

void Window::greyInStrip(bool strip) {
    for (const Menu& menu : mainForm().menus)
        for (const MenuItem& item : menu.items)
            if (item.greyedInStrip) view_.setMenuEnabled(static_cast<Id>(item.id), !strip);
}

void Window::SetWmode() {
    switch (WinMode) {
        case st::kCompact:
            applyLayout(kCompactLayout);
            view_.setGoVisible(true);
            greyInStrip(true);
            SetFront(FrontFlag);
            break;
        case st::kListLayout:
            applyLayout(kListLayout);
            view_.setGoVisible(false);
            greyInStrip(false);
            SetFront(0);
            break;
        case st::kFullLayout:
            applyLayout(kFullLayout);
            view_.setGoVisible(false);
            SetFront(0);
            break;
        default:
            break;
    }
}

void Window::SetFront(std::int32_t flag) {
    view_.setTopmost(flag != 0);
}

void Window::Command10_Click() {
    WinMode = st::NextWindowMode(WinMode);
    SetWmode();
    settings_.write(st::kMode, st::kModeValue, st::WindowModeSetting(WinMode));
}

void Window::everfront_Click() {
    FrontFlag = 1 - FrontFlag;
    view_.setMenuChecked(Id::everfront, FrontFlag != 0);
    SetFront(FrontFlag);
}

void Window::clearKey_Click() {
    keywords_.clearKey();
}

void Window::SaveWpos() {
    const Twips p = view_.positionTwips();
    if (p.x == WposX && p.y == WposY) return;
    WposX = p.x;
    WposY = p.y;
    const core::WriteStatus x =
        profile_.WriteSetting(st::kPosition, st::kX, core::FormatNumber(WposX));
    const core::WriteStatus y =
        profile_.WriteSetting(st::kPosition, st::kY, core::FormatNumber(WposY));
    settings_.check(x ? y : x);
}

void Window::shutDown() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    cancelFill();
    CurrentItem = -1;
    SaveWpos();
}

}  // namespace brim::app
