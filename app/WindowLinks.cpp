// The window's link check, and what it and the duplicates offer: gone
// favorites to the trash, moved ones updated, one of each group kept.

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "app/Messages.h"
#include "app/MoveToTrash.h"
#include "app/Window.h"
#include "core/DiskNames.h"
#include "core/Duplicates.h"
#include "core/Editing.h"
#include "core/LinkState.h"
#include "core/Numbers.h"

namespace brim::app {
namespace {

// A question names ten favorites; the rest are counted.
constexpr std::size_t kNamesListed = 10;

std::string namesText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i)
        text += "\n" + names[i];
    if (names.size() > kNamesListed)
        text += "\nほか " + std::to_string(names.size() - kNamesListed) + " 件";
    return text;
}

}  // namespace

std::string Window::linkStateFile() const {
    const std::string folder = services_.folders.stateFolder();
    return folder.empty() ? std::string() : core::LinkState::fileIn(folder);
}

void Window::saveLinkState(const core::LinkState& changes) {
    const std::string file = linkStateFile();
    if (file.empty() || (changes.links.empty() && changes.forgotten.empty())) return;
    // A failed write leaves records the next check puts right.
    (void)changes.save(services_.fs, file);
}

void Window::forgetUnused(core::LinkState& changes, const FavoriteIndex::Names& urls,
                          const FavoriteIndex::Names& leaving) const {
    // A record only spares a check: kept too long it costs nothing.
    if (!index_ || !index_->ready()) return;
    const FavoriteIndex::Names used = index_->urlsInUse(urls, leaving);
    for (const std::string& url : urls)
        if (!used.count(url) && !changes.links.count(url)) changes.forget(url);
}

std::vector<std::string> Window::favoriteHeaders() const {
    if (linkResults_.empty()) return {"Name", "Folder", "Comment"};
    return {"Name", "Folder", "Comment", "Link"};
}

std::vector<int> Window::favoriteFifths() const {
    if (linkResults_.empty()) return {2, 2, 3};
    return {2, 2, 3, 1};
}

void Window::setLinkCell(Row& row, std::string_view file) const {
    const auto r = linkResults_.find(file);
    // The status words are the program's own: no copy needs to keep them.
    row[3] = r == linkResults_.end() ? Cell() : Cell({}, linkStatusWord(r->second.status));
}

void Window::showLinkResults() {
    if (ListMode != core::kListFavorites) return;
    // A sort by the column moves the rows: the selected favorite is found
    // where it stands now.
    const Cell selected = list_.file(CurrentItem);
    std::vector<Row> rows = list_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        setLinkCell(rows[i], list_.files()[i]);
    list_.fill(favoriteHeaders(), std::move(rows), list_.files());
    view_.setColumns(list_.headers(), favoriteFifths());
    if (list_.isSorted()) view_.setSortIndicator(list_.sortColumn(), list_.descending());
    view_.setRows(list_.rows());
    if (selected.empty()) return;
    const auto at = std::find(list_.files().begin(), list_.files().end(), selected);
    CurrentItem = at == list_.files().end() ? -1 : static_cast<int>(at - list_.files().begin());
    if (CurrentItem >= 0) view_.selectRow(CurrentItem);
}

std::size_t Window::startLinkCheck(LinkCheckView& view, std::optional<double> uncheckedForDays) {
    std::vector<LinkTarget> targets;
    if (ListMode == core::kListFavorites) {
        for (int r = 0; r < list_.size(); ++r) {
            const Cell& file = list_.file(r);
            if (file.empty()) continue;
            targets.push_back({(*list_.row(r))[1] + (*list_.row(r))[0], file.str()});
        }
    }
    const std::size_t n = targets.size();
    linkView_ = &view;
    std::string target = "表示中のお気に入り " + std::to_string(n) + " 件";
    if (uncheckedForDays) {
        std::ostringstream days;
        days << *uncheckedForDays;
        target += "のうち、前回の確認から " + days.str() + " 日以上たったもの";
    }
    view.setTarget(target + "のリンクを確認します。");
    view.setProgress(0, n);
    view.setCounts({});
    if (n == 0) {
        view.setRunning(false);
        return 0;
    }
    if (!linkRun_) {
        core::LinkCheckOptions options;
        if (const auto* proxy = services_.proxy)
            options.systemProxies = [proxy] { return proxy->current(); };
        linkRun_ = std::make_unique<LinkCheckRun>(*scheduler_, *catalog_, linkStateFile(),
                                                  std::move(options));
    }
    view.setRunning(true);
    linkRun_->start(std::move(targets),
                    {[this](const core::LinkProgress& p) {
                         if (!linkView_) return;
                         linkView_->setProgress(p.done, p.total);
                         linkView_->setCounts(linkCountsText(p));
                     },
                     [this, n](LinkResults results, LinkResults recent, bool stopped) {
                         core::LinkProgress p;
                         p.total = n - recent.size();
                         for (const auto& [file, r] : results) {
                             ++p.done;
                             ++p.counts[static_cast<std::size_t>(r.status)];
                         }
                         // A stopped check leaves the results of the last one
                         // for the favorites it did not reach.
                         if (!stopped) linkResults_.clear();
                         for (auto& [file, r] : recent)
                             linkResults_[file] = std::move(r);
                         for (auto& [file, r] : results)
                             linkResults_[file] = std::move(r);
                         showLinkResults();
                         if (!linkView_) return;
                         linkView_->setProgress(p.done, p.total);
                         std::string counts = linkCountsText(p);
                         if (!recent.empty())
                             counts += std::string(counts.empty() ? "" : "　") + "前回の結果 " +
                                       std::to_string(recent.size()) + " 件";
                         linkView_->setCounts(counts + (stopped ? "（中止）" : ""));
                         linkView_->setRunning(false);
                     }},
                    uncheckedForDays);
    return n;
}

void Window::stopLinkCheck() {
    if (linkRun_) linkRun_->stop();
}

void Window::leaveLinkCheck() {
    linkView_ = nullptr;
    stopLinkCheck();
}

std::vector<std::string> Window::trashFiles(const std::vector<std::string>& files) {
    std::vector<std::string> moved;
    std::string failed;
    for (const std::string& file : files) {
        const TrashOutcome r =
            MoveToTrash(services_.fs, services_.trash, file, [] { return true; });
        if (r.kind == TrashOutcome::Kind::Failed) {
            failed += "\n" + core::ShownFileName(file, services_.codePage) + "（" +
                      reasonText(r.io) + "）";
            continue;
        }
        // One gone already is out of the list all the same.
        moved.push_back(file);
        linkResults_.erase(file);
    }
    if (!failed.empty()) prompts_.message("ごみ箱に移動できなかったものがあります。" + failed);
    return moved;
}

void Window::dropRows(const std::vector<std::string>& files) {
    if (files.empty() || ListMode != core::kListFavorites) return;
    const std::set<std::string, std::less<>> dropped(files.begin(), files.end());
    std::vector<Row> rows;
    std::vector<Cell> kept;
    for (int r = 0; r < list_.size(); ++r) {
        if (dropped.count(list_.file(r).view())) continue;
        rows.push_back(*list_.row(r));
        kept.push_back(list_.file(r));
    }
    ItemCount = static_cast<std::int32_t>(rows.size());
    list_.fill(list_.headers(), std::move(rows), std::move(kept));
    CurrentItem = -1;
    showLinkResults();
    setCountCaption("ファイル数:", ItemCount);
}

void Window::trashGone_Click() {
    std::vector<std::string> gone, names;
    for (const auto& [file, r] : linkResults_) {
        if (r.status != core::LinkStatus::Gone) continue;
        gone.push_back(file);
        names.push_back(core::ShownFileName(file, services_.codePage));
    }
    if (gone.empty()) {
        prompts_.message("リンク切れのお気に入りはありません。");
        return;
    }
    if (!prompts_.confirm("リンク切れのお気に入り " + std::to_string(gone.size()) +
                          " 件をごみ箱に移動しますか？" + namesText(names)))
        return;
    std::map<std::string, std::string> urlOf;
    for (const std::string& file : gone)
        urlOf[file] = catalog_->fieldsOf(file, file).url;
    const std::vector<std::string> trashed = trashFiles(gone);
    // The gone pages' records go with the last favorites leading to them.
    FavoriteIndex::Names urls;
    for (const std::string& file : trashed)
        urls.insert(urlOf[file]);
    core::LinkState kept;
    forgetUnused(kept, urls, {trashed.begin(), trashed.end()});
    saveLinkState(kept);
    dropRows(trashed);
}

void Window::updateMoved_Click() {
    std::vector<std::string> moved, names;
    for (const auto& [file, r] : linkResults_) {
        if (r.status != core::LinkStatus::Moved || r.location.empty()) continue;
        moved.push_back(file);
        names.push_back(core::ShownFileName(file, services_.codePage) + " → " + r.location);
    }
    if (moved.empty()) {
        prompts_.message("移動したお気に入りはありません。");
        return;
    }
    if (!prompts_.confirm("移動したお気に入り " + std::to_string(moved.size()) +
                          " 件のアドレスを移動先に書き換えますか？" + namesText(names)))
        return;
    std::string failed;
    const std::string stateFile = linkStateFile();
    const core::LinkState known =
        stateFile.empty() ? core::LinkState() : core::LinkState::read(services_.fs, stateFile);
    core::LinkState kept;
    FavoriteIndex::Names oldUrls, rewritten;
    for (const std::string& file : moved) {
        core::LinkResult& result = linkResults_[file];
        // Written as a save from the boxes writes it: every other line stays.
        const core::FavoriteFields f = catalog_->fieldsOf(file, file);
        const core::SaveResult saved =
            core::Savefiles(*catalog_, {f.name, result.location, std::nullopt, f.folder, file});
        if (!saved) {
            failed += "\n" + core::ShownFileName(file, services_.codePage) + "（" +
                      (saved.kind == core::SaveResult::Kind::NotWritten ? reasonText(saved.status)
                                                                        : "名前が使えません") +
                      "）";
            continue;
        }
        // Its new address is the working page the redirects ended at, as
        // the check that found the move saw it.
        const auto old = known.links.find(f.url);
        oldUrls.insert(f.url);
        rewritten.insert(file);
        kept.record(result.location, {core::LinkStatus::Ok, result.code, {}},
                    old != known.links.end() ? old->second.checked : core::SecondsNow());
        result = {core::LinkStatus::Ok, result.code, {}};
    }
    // The old address may still be another favorite's.
    forgetUnused(kept, oldUrls, rewritten);
    saveLinkState(kept);
    showLinkResults();
    if (!failed.empty()) prompts_.message("書き換えられなかったものがあります。" + failed);
}

void Window::duplicates_Click() {
    // The groups stay together: no sort reorders them. The user's sort comes
    // back with the next list.
    std::optional<HeldSort> held = heldSort_;
    if (list_.isSorted()) held = HeldSort{list_.sortColumn(), list_.descending()};
    heldSort_.reset();
    list_.unsort();
    view_.setSortIndicator(-1, false);
    auto groups = std::make_shared<std::vector<std::vector<std::string>>>();
    const core::Catalog* catalog = catalog_.get();
    fillFavorites(
        [catalog, groups](const core::RowSink& add, const core::ProblemSink& problem,
                          const core::WalkControl& control) {
            std::vector<core::FavoriteItem> all;
            if (!catalog->allFavorites(all, problem, control)) return;
            if (control.stop && control.stop->requested()) return;
            for (auto& g : core::GroupDuplicates(std::move(all))) {
                std::vector<std::string> files;
                for (auto& f : g.favorites) {
                    files.push_back(f.path);
                    add(std::move(f));
                }
                groups->push_back(std::move(files));
            }
        },
        [this, groups] { duplicateGroups_ = std::move(*groups); });
    heldSort_ = held;
}

void Window::keepOne_Click() {
    const std::string kept = list_.file(CurrentItem).str();
    const auto group =
        std::find_if(duplicateGroups_.begin(), duplicateGroups_.end(), [&](const auto& g) {
            return !kept.empty() && std::find(g.begin(), g.end(), kept) != g.end();
        });
    if (group == duplicateGroups_.end()) {
        prompts_.message("重複の一覧で、残すお気に入りを選んでください。");
        return;
    }
    std::vector<std::string> others, names;
    for (const std::string& file : *group) {
        if (file == kept) continue;
        others.push_back(file);
        names.push_back(core::ShownFileName(file, services_.codePage));
    }
    if (!prompts_.confirm("「" + core::ShownFileName(kept, services_.codePage) +
                          "」を残し、同じページのお気に入り " + std::to_string(others.size()) +
                          " 件をごみ箱に移動しますか？" + namesText(names)))
        return;
    // One left of a group is no group.
    duplicateGroups_.erase(group);
    dropRows(trashFiles(others));
}

}  // namespace brim::app
