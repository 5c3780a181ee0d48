#include "core/Catalog.h"

#include "core/DiskNames.h"
#include "core/Paths.h"
#include "core/RowCache.h"

namespace brim::core {

bool Catalog::ListDir(const std::string& folder, const RowSink& add, const ProblemSink& problem,
                      const WalkControl& control) const {
    const auto work = [&](const std::string& path, const std::string& label,
                          const FolderContents& contents, std::vector<FavoriteItem>& rows) {
        RowCache::Folder files(cache(), profile_, path, contents);
        std::string bytes;  // one buffer for every file of the folder
        for (const auto& name : contents.files) {
            if (control.stopped()) return;
            ShortcutValues values = files.read(name, bytes);
            rows.push_back({name.shown, label, std::move(values.comment), std::move(values.url),
                            path + name.disk});
        }
        files.keep();
    };
    const bool listed = walkTreeOrdered(fs_, profile_.codePage(), root_, folder,
                                        throughCache(control), work, add, problem);
    walked(folder, listed, control);
    return listed;
}

WalkControl Catalog::throughCache(const WalkControl& control) const {
    WalkControl through = control;
    RowCache* const c = cache();
    through.listingStamps = [c](const std::string& path) { return c && c->holds(path); };
    return through;
}

void Catalog::walked(const std::string& folder, bool listed, const WalkControl& control) const {
    RowCache* const c = cache();
    if (c && listed && folder == root_ && !control.stopped()) c->forgetUnvisited();
}

bool Catalog::allFavorites(std::vector<FavoriteItem>& rows, const ProblemSink& problem,
                           const WalkControl& control) const {
    rows.clear();
    return ListDir(
        root_, [&](FavoriteItem&& row) { rows.push_back(std::move(row)); }, problem, control);
}

bool Catalog::ListFolder(const std::string& folder, const std::function<void(std::string&&)>& add,
                         const ProblemSink& problem, const WalkControl& control) const {
    // A folder's row carries only its label.
    const auto work = [](const std::string&, const std::string& label, const FolderContents&,
                         std::vector<FavoriteItem>& rows) {
        rows.push_back({{}, label, {}, {}, {}});
    };
    // No file is read, so none needs its stamp.
    WalkControl listingOnly = control;
    listingOnly.listingStamps = [](const std::string&) { return false; };
    return walkTreeOrdered(
        fs_, profile_.codePage(), root_, folder, listingOnly, work,
        [&](FavoriteItem&& row) { add(std::move(row.folder)); }, problem);
}

FavoriteFields Catalog::fieldsOf(std::string_view path, const std::string& file) const {
    const auto [folder, typed] = SplitAtLastSeparator(path);
    const std::string found = file.empty() ? locate(path) : file;
    // The name as the file spells it, when there is one: "index" finds Index.URL.
    std::string name(typed);
    if (fs_.attributes(found)) name = ShownFileName(found, profile_.codePage());
    ShortcutValues values = profile_.ReadShortcut(found);
    return {std::string(folder), StripExtension(name), std::move(values.url),
            std::move(values.comment)};
}

std::string Catalog::locate(std::string_view path) const {
    return LocateOnDisk(fs_, profile_.codePage(), root_, path);
}

}  // namespace brim::core
