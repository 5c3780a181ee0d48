#pragma once
// Every favorite of the tree held in memory, in the walk's order, so that the
// window can search as the user types without reading a file. A fill of the
// whole list walks the tree and leaves its rows here; folders that changed
// since are read again on demand, each in its place of the walk's order.
//
// What a search finds is what core::Search::SearchDir would find over the same
// files: the same match text, folding, fields and keyword rules.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/View.h"
#include "core/Catalog.h"
#include "core/Search.h"
#include "core/Stop.h"
#include "platform/CaseMapper.h"

namespace brim::app {

class FavoriteIndex {
  public:
    // The tree of `catalog`; its cache, when it has one, vouches for files
    // as it does for the walks.
    FavoriteIndex(const core::Catalog& catalog, const platform::CaseMapper& mapper);

    // One favorite as kept: its cells run together with a blank between them,
    // as the match text has them, once as shown and once upper-cased. Its
    // file follows the cells in `text`, so that rows can point into it.
    struct Entry {
        std::string text;   // name, address, comment, then the file as on disk
        std::string upper;  // the cells upper-cased
        std::uint32_t url = 0, comment = 0, file = 0;  // where they start in `text`
        std::uint32_t upperUrl = 0, upperComment = 0;  // and in `upper`
        std::string_view cells() const { return std::string_view(text).substr(0, file); }
        std::string_view path() const { return std::string_view(text).substr(file); }
    };
    struct Folder {
        std::string path;   // the system's path, ending in the separator
        std::string label;  // "\A\B\"
        std::string upperLabel;
        std::vector<std::string> subfolders;  // entered, as on disk, in listing order
        std::vector<Entry> entries;
    };
    // What the index holds at one moment; never changed once made.
    struct Snapshot {
        std::vector<std::shared_ptr<const Folder>> folders;  // in walk order
        std::size_t rows = 0;
    };

    // Rows for the result list, with each row's file.
    struct Found {
        std::vector<Row> rows;
        std::vector<Cell> files;
    };

    // Walks the whole tree as a fill does, passing the rows to `add` in walk
    // order; a walk that ran to its end becomes what the index holds. False
    // when the Favorites folder cannot be listed (the index then holds none).
    bool walk(const core::RowSink& add, const core::ProblemSink& problem = {},
              const core::WalkControl& control = {});
    // The same walk without rows for a list: every folder checked again.
    bool revalidate(const core::WalkControl& control = {});
    // Reads the folders at these system paths again (a changed folder, one
    // added or gone); what lies below a folder whose subfolders changed is
    // walked again. Before the first walk it does nothing.
    void refreshFolders(const std::vector<std::string>& paths);

    // True once a walk has ended.
    bool ready() const;
    std::shared_ptr<const Snapshot> snapshot() const;
    // Changes each time the index takes other rows.
    std::uint64_t version() const { return version_.load(); }

    // Every favorite, in walk order. `room`: rows no longer shown, whose
    // memory the new rows take over.
    Found all(const core::StopSource* stop = nullptr, Found room = {}) const;
    // The favorites that SearchDir from the Favorites folder would find, in
    // the same order. Empty when stopped.
    Found search(const std::vector<std::string>& keywords, const core::SearchOptions& options,
                 const core::StopSource* stop = nullptr, Found room = {}) const;

    using Names = std::set<std::string, std::less<>>;
    // Those of `urls` that a favorite it holds leads to, the files `except`
    // left out.
    Names urlsInUse(const Names& urls, const Names& except) const;

  private:
    // Walks from `start` into whole folders; false when it cannot be listed.
    bool walkFrom(const std::string& start, std::vector<std::shared_ptr<const Folder>>& folders,
                  const core::RowSink& add, const core::ProblemSink& problem,
                  const core::WalkControl& control) const;
    void install(std::vector<std::shared_ptr<const Folder>> folders);
    Entry entryOf(const core::FavoriteItem& item) const;

    const core::Catalog& catalog_;
    const platform::CaseMapper& mapper_;
    std::mutex writing_;  // one change at a time, reading included
    mutable std::mutex mutex_;
    std::shared_ptr<const Snapshot> snapshot_;
    std::atomic<std::uint64_t> version_{0};
};

}  // namespace brim::app
