#include "app/FavoriteIndex.h"

#include <algorithm>

#include "core/RowCache.h"
#include "platform/NativePaths.h"

namespace brim::app {
namespace {

// Subfolder names lie on disk as bytes in which no NUL can stand.
constexpr char kNameSeparator = '\0';

std::string joined(const std::vector<core::ListedName>& names) {
    std::string out;
    for (const auto& n : names)
        out.append(n.disk).push_back(kNameSeparator);
    return out;
}

std::vector<std::string> split(const std::string& names) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < names.size();) {
        const std::size_t end = names.find(kNameSeparator, at);
        out.push_back(names.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::vector<std::string> diskNames(const std::vector<core::ListedName>& names) {
    std::vector<std::string> out;
    for (const auto& n : names)
        out.push_back(n.disk);
    return out;
}

// The parent of a folder's path ("…/A/B/" gives "…/A/"); empty for none.
std::string parentOf(const std::string& path) {
    constexpr auto paths = platform::NativePaths::native();
    if (path.size() < 2) return {};
    const std::size_t sep = paths.lastSeparator(std::string_view(path).substr(0, path.size() - 1));
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

bool within(const std::string& path, const std::string& folder) {
    return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0;
}

}  // namespace

FavoriteIndex::FavoriteIndex(const core::Catalog& catalog, const platform::CaseMapper& mapper)
    : catalog_(catalog), mapper_(mapper) {}

FavoriteIndex::Entry FavoriteIndex::entryOf(const core::FavoriteItem& item) const {
    Entry e;
    e.text.reserve(item.name.size() + item.url.size() + item.comment.size() + 2 + item.path.size());
    e.text.append(item.name).push_back(' ');
    e.url = static_cast<std::uint32_t>(e.text.size());
    e.text.append(item.url).push_back(' ');
    e.comment = static_cast<std::uint32_t>(e.text.size());
    e.text.append(item.comment);
    e.file = static_cast<std::uint32_t>(e.text.size());
    e.text.append(item.path);
    // Folding goes character by character, so the cells folded one by one
    // join into the folded match text.
    std::string folded;
    core::UpperCaseInto(item.name, mapper_, folded);
    e.upper.append(folded).push_back(' ');
    e.upperUrl = static_cast<std::uint32_t>(e.upper.size());
    core::UpperCaseInto(item.url, mapper_, folded);
    e.upper.append(folded).push_back(' ');
    e.upperComment = static_cast<std::uint32_t>(e.upper.size());
    core::UpperCaseInto(item.comment, mapper_, folded);
    e.upper.append(folded);
    return e;
}

bool FavoriteIndex::walkFrom(const std::string& start,
                             std::vector<std::shared_ptr<const Folder>>& folders,
                             const core::RowSink& add, const core::ProblemSink& problem,
                             const core::WalkControl& control) const {
    // Each folder comes first as a row without a name, so that empty folders
    // keep their place too; the files' rows follow it.
    const auto work = [&](const std::string& path, const std::string& label,
                          const core::FolderContents& contents,
                          std::vector<core::FavoriteItem>& rows) {
        rows.push_back({{}, label, joined(contents.subfolders), {}, path});
        core::RowCache::Folder files(catalog_.cache(), catalog_.profile(), path, contents);
        std::string bytes;
        for (const auto& name : contents.files) {
            if (control.stopped()) return;
            core::ShortcutValues values = files.read(name, bytes);
            rows.push_back({name.shown, label, std::move(values.comment), std::move(values.url),
                            path + name.disk});
        }
        files.keep();
    };
    std::shared_ptr<Folder> current;
    const auto flush = [&] {
        if (current) folders.push_back(std::move(current));
    };
    const bool listed = core::walkTreeOrdered(
        catalog_.fileSystem(), catalog_.profile().codePage(), catalog_.FavoritesRoot(), start,
        catalog_.throughCache(control), work,
        [&](core::FavoriteItem&& item) {
            if (item.name.empty()) {
                flush();
                current = std::make_shared<Folder>();
                current->path = std::move(item.path);
                current->label = std::move(item.folder);
                current->upperLabel = core::UpperCase(current->label, mapper_);
                current->subfolders = split(item.comment);
                return;
            }
            current->entries.push_back(entryOf(item));
            if (add) add(std::move(item));
        },
        problem);
    flush();
    if (start == catalog_.FavoritesRoot()) catalog_.walked(start, listed, control);
    return listed;
}

bool FavoriteIndex::walk(const core::RowSink& add, const core::ProblemSink& problem,
                         const core::WalkControl& control) {
    std::vector<std::shared_ptr<const Folder>> folders;
    const bool listed = walkFrom(catalog_.FavoritesRoot(), folders, add, problem, control);
    // A stopped walk saw only part of the tree: what was held stays.
    if (control.stopped()) return listed;
    const std::lock_guard lock(writing_);
    install(std::move(folders));
    return listed;
}

bool FavoriteIndex::revalidate(const core::WalkControl& control) {
    return walk({}, {}, control);
}

void FavoriteIndex::refreshFolders(const std::vector<std::string>& paths) {
    const std::lock_guard lock(writing_);
    const auto held = snapshot();
    if (!held) return;
    std::vector<std::shared_ptr<const Folder>> folders = held->folders;
    const auto find = [&](const std::string& path) {
        return std::find_if(folders.begin(), folders.end(),
                            [&](const auto& f) { return f->path == path; });
    };
    const std::string& root = catalog_.FavoritesRoot();
    for (const std::string& asked : paths) {
        if (!within(asked, root)) continue;
        // A folder the index does not hold is new: its parent lists it.
        std::string path = asked;
        while (path != root && find(path) == folders.end())
            path = parentOf(path);
        for (;;) {
            const auto at = find(path);
            if (at == folders.end()) break;  // below a folder that was not entered
            auto contents =
                core::readFolder(catalog_.fileSystem(), catalog_.profile().codePage(), path);
            if (!contents && path != root) {
                path = parentOf(path);  // gone: its parent no longer lists it
                continue;
            }
            const auto index = at - folders.begin();
            auto end = at + 1;
            while (end != folders.end() && within((*end)->path, path))
                ++end;
            std::vector<std::shared_ptr<const Folder>> fresh;
            if (contents && diskNames(contents->subfolders) == (*at)->subfolders) {
                // Only its own files may have changed.
                auto folder = std::make_shared<Folder>(**at);
                folder->entries.clear();
                core::RowCache::Folder files(catalog_.cache(), catalog_.profile(), path, *contents);
                std::string bytes;
                for (const auto& name : contents->files) {
                    core::ShortcutValues values = files.read(name, bytes);
                    folder->entries.push_back(
                        entryOf({name.shown, folder->label, std::move(values.comment),
                                 std::move(values.url), path + name.disk}));
                }
                files.keep();
                fresh.push_back(std::move(folder));
                folders.erase(at, at + 1);
            } else {
                contents.reset();
                walkFrom(path, fresh, {}, {}, {});
                folders.erase(at, end);
            }
            folders.insert(folders.begin() + index, fresh.begin(), fresh.end());
            break;
        }
    }
    install(std::move(folders));
}

void FavoriteIndex::install(std::vector<std::shared_ptr<const Folder>> folders) {
    auto next = std::make_shared<Snapshot>();
    for (const auto& f : folders)
        next->rows += f->entries.size();
    next->folders = std::move(folders);
    {
        const std::lock_guard lock(mutex_);
        snapshot_ = std::move(next);
    }
    ++version_;
}

bool FavoriteIndex::ready() const {
    return snapshot() != nullptr;
}

std::shared_ptr<const FavoriteIndex::Snapshot> FavoriteIndex::snapshot() const {
    const std::lock_guard lock(mutex_);
    return snapshot_;
}

FavoriteIndex::Names FavoriteIndex::urlsInUse(const Names& urls, const Names& except) const {
    Names used;
    const auto held = snapshot();
    if (!held || urls.empty()) return used;
    for (const auto& folder : held->folders) {
        for (const Entry& e : folder->entries) {
            const std::string_view text = e.text;
            const std::string_view url = text.substr(e.url, e.comment - 1 - e.url);
            if (!urls.count(url) || used.count(url)) continue;
            if (!except.count(e.path())) used.emplace(url);
        }
    }
    return used;
}

namespace {

// True when `key` occurs in `before` followed by `after` only where the two meet.
bool across(std::string_view before, std::string_view after, std::string_view key) {
    if (key.size() < 2 || before.empty()) return false;
    const std::size_t first = before.size() >= key.size() ? before.size() - key.size() + 1 : 0;
    for (std::size_t at = first; at < before.size(); ++at) {
        const std::size_t head = before.size() - at;  // the key's part in `before`
        if (key.size() - head <= after.size() && before.substr(at) == key.substr(0, head) &&
            after.substr(0, key.size() - head) == key.substr(head))
            return true;
    }
    return false;
}

struct Match {
    const std::shared_ptr<const FavoriteIndex::Folder>* folder;
    const FavoriteIndex::Entry* entry;
};

// The row points into the folder's text, which it keeps alive: no text is
// copied, so that a list of every favorite comes at once.
void addFound(FavoriteIndex::Found& found,
              const std::shared_ptr<const FavoriteIndex::Folder>& folder,
              const FavoriteIndex::Entry& e) {
    const std::string_view text = e.text;
    found.rows.push_back({Cell(folder, text.substr(0, e.url - 1)), Cell(folder, folder->label),
                          Cell(folder, text.substr(e.comment, e.file - e.comment))});
    found.files.emplace_back(folder, e.path());
}

// Empties `room` for `rows` rows. Memory that already holds pages is far
// cheaper to write than new memory: a list of 100,000 rows is 16 MB.
void makeRoom(FavoriteIndex::Found& room, std::size_t rows) {
    room.rows.clear();
    room.files.clear();
    room.rows.reserve(rows);
    room.files.reserve(rows);
}

FavoriteIndex::Found rowsOf(const std::vector<Match>& matches, FavoriteIndex::Found room) {
    makeRoom(room, matches.size());
    for (const Match& m : matches)
        addFound(room, *m.folder, *m.entry);
    return room;
}

}  // namespace

FavoriteIndex::Found FavoriteIndex::all(const core::StopSource* stop, Found room) const {
    const auto held = snapshot();
    if (!held) return {};
    makeRoom(room, held->rows);
    for (const auto& folder : held->folders) {
        if (stop && stop->requested()) return {};
        for (const auto& e : folder->entries)
            addFound(room, folder, e);
    }
    return room;
}

FavoriteIndex::Found FavoriteIndex::search(const std::vector<std::string>& keywords,
                                           const core::SearchOptions& options,
                                           const core::StopSource* stop, Found room) const {
    const auto held = snapshot();
    if (!held || keywords.empty()) return {};
    const core::SearchFields& f = options.fields;
    const bool useFolder = f.folder == 1, useName = f.name == 1;
    const bool useAddress = f.address == 1, useComment = f.comment == 1;
    const bool fold = options.foldCase;
    std::vector<std::string> keys;
    for (const auto& k : keywords)
        keys.push_back(fold ? core::UpperCase(k, mapper_) : k);
    // The match text is the folder's part, then the cells; most choices of
    // fields take cells that stand together, which are searched where they
    // lie. Name and comment without the address are put together first.
    const bool together = !(useName && !useAddress && useComment);
    std::string text, prefix;
    std::vector<char> inPrefix(keys.size());
    std::vector<Match> matches;
    for (const auto& folder : held->folders) {
        if (stop && stop->requested()) return {};
        prefix.clear();
        if (useFolder) prefix.append(fold ? folder->upperLabel : folder->label).push_back(' ');
        for (std::size_t i = 0; i < keys.size(); ++i)
            inPrefix[i] = prefix.find(keys[i]) != std::string::npos;
        const std::string_view before = prefix;
        for (const auto& e : folder->entries) {
            const std::string_view cells = fold ? std::string_view(e.upper) : e.cells();
            const std::size_t url = fold ? e.upperUrl : e.url;
            const std::size_t comment = fold ? e.upperComment : e.comment;
            std::string_view rest;
            if (together) {
                const std::size_t from = useName ? 0 : useAddress ? url : comment;
                const std::size_t to = useComment ? cells.size() : useAddress ? comment : url;
                if (useName || useAddress || useComment) rest = cells.substr(from, to - from);
            } else {
                text.assign(cells.substr(0, url)).append(cells.substr(comment));
                rest = text;
            }
            const bool empty = before.empty() && rest.empty();
            bool match = !options.anyKeyword;
            for (std::size_t i = 0; i < keys.size(); ++i) {
                const bool hit =
                    !empty && (inPrefix[i] || rest.find(keys[i]) != std::string::npos ||
                               across(before, rest, keys[i]));
                match = options.anyKeyword ? (match || hit) : (match && hit);
            }
            if (match) matches.push_back({&folder, &e});
        }
    }
    if (stop && stop->requested()) return {};
    return rowsOf(matches, std::move(room));
}

}  // namespace brim::app
