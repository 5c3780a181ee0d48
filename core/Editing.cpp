#include "core/Editing.h"

#include <algorithm>

#include "core/Paths.h"
#include "core/Walk.h"
#include "platform/NativePaths.h"

namespace brim::core {
namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string withoutTrailingSlash(std::string path) {
    return platform::NativePaths::native().withoutTrailingSeparator(std::move(path));
}

}  // namespace

SaveResult Savefiles(const Catalog& catalog, const SaveRequest& r) {
    SaveResult result;
    std::string n = r.name.empty() ? r.url.value_or(std::string()) : r.name;
    if (n.empty()) return {SaveResult::Kind::NoName, {}, {}, {}};
    if (!endsWith(n, ".url") && !endsWith(n, ".URL")) n += ".url";
    result.fileName = n;
    if (n.find_first_of("\\/") != std::string::npos) {
        result.kind = SaveResult::Kind::BadName;
        return result;
    }
    // A name such as ".url" or ".x.url" would be hidden and never listed.
    if (n.front() == '.') {
        result.kind = SaveResult::Kind::HiddenName;
        return result;
    }
    const std::string& root = catalog.FavoritesRoot();
    platform::FileSystem& fs = catalog.fileSystem();
    // One folder level is created; a deeper missing path shows in the write.
    const std::string folder = withoutTrailingSlash(FullPath(root, r.folder));
    const bool folderExisted = fs.attributes(folder).has_value();
    static_cast<void>(fs.createFolder(folder));
    // One separator between folder and name: the Favorites folder's label, a
    // lone backslash, followed by another would start a network path on Windows.
    std::string folderLabel = r.folder;
    while (!folderLabel.empty() && (folderLabel.back() == '\\' || folderLabel.back() == '/')) {
        folderLabel.pop_back();
    }
    result.path = FullPath(root, folderLabel + "\\" + n);
    const auto view = [](const std::optional<std::string>& s) {
        return s ? std::optional<std::string_view>(*s) : std::nullopt;
    };
    const ProfileChange changes[] = {{kShortcutSection, kUrlKey, view(r.url)},
                                     {kCommentSection, kCommentKey, view(r.comment)}};
    result.status = catalog.profile().write(result.path, changes);
    if (!result.status) {
        result.kind = SaveResult::Kind::NotWritten;
        // A failed save leaves no trace: the folder made for it goes again
        // (only while it is empty).
        if (!folderExisted) static_cast<void>(fs.removeFolder(folder));
    }
    return result;
}

std::string NameAfterSave(const SaveResult& result, const SaveRequest& request) {
    return result ? StripExtension(result.fileName) : request.name;
}

std::string FavoritePath(const Catalog& catalog, const std::string& folder,
                         const std::string& name) {
    return FullPath(catalog.FavoritesRoot(), folder + name) + ".url";
}

namespace {

class Pruner {
  public:
    Pruner(platform::FileSystem& fs, bool dryRun,
           const std::function<void(const std::string&)>& removed,
           std::vector<PruneProblem>& problems)
        : fs_(fs), dryRun_(dryRun), removed_(removed), problems_(problems) {}

    // Walks `folder` (ending in a separator) as the listing walks: a subtree that is
    // empty goes whole; any other folder is entered, last listed first. Each
    // folder is listed once, but for those that hold only folders.
    void visit(const std::string& folder, bool isRoot) {
        const auto entries = list(folder);
        if (!entries) return;
        std::vector<std::string> tree;
        if (!isRoot && emptyBelow(folder, *entries, tree)) {
            removeTree(folder, tree);
            return;
        }
        for (auto it = entries->rbegin(); it != entries->rend(); ++it) {
            if (isFolderToEnter(*it) && isExpressibleName(it->name)) {
                visit(folder + it->name + platform::kNativeSeparator, false);
            }
        }
    }

  private:
    std::optional<std::vector<platform::DirEntry>> list(const std::string& folder) {
        auto entries = fs_.listFolder(folder);
        if (!entries) problems_.push_back({folder, {platform::IoError::Denied, 0}});
        return entries;
    }

    // True when the `entries` of `folder` are plain folders that hold nothing
    // at any depth; `tree` gets those folders, deepest last. Anything else — a
    // file of any size, a link, a hidden or read-only folder, a name the walks
    // skip — is content.
    bool emptyBelow(const std::string& folder, const std::vector<platform::DirEntry>& entries,
                    std::vector<std::string>& tree) {
        for (const auto& e : entries) {
            if (!isFolderToEnter(e) || !isExpressibleName(e.name)) return false;
        }
        for (const auto& e : entries) {
            tree.push_back(folder + e.name + platform::kNativeSeparator);
            const auto below = list(tree.back());
            if (!below || !emptyBelow(tree.back(), *below, tree)) return false;
        }
        return true;
    }

    void removeTree(const std::string& folder, const std::vector<std::string>& tree) {
        if (!dryRun_) {
            // Deepest first; removing a folder never removes what it holds.
            for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
                if (const auto r = fs_.removeFolder(withoutTrailingSlash(*it)); !r) {
                    problems_.push_back({withoutTrailingSlash(*it), r});
                    return;
                }
            }
            if (const auto r = fs_.removeFolder(withoutTrailingSlash(folder)); !r) {
                problems_.push_back({withoutTrailingSlash(folder), r});
                return;
            }
        }
        removed_(withoutTrailingSlash(folder));
    }

    platform::FileSystem& fs_;
    bool dryRun_;
    const std::function<void(const std::string&)>& removed_;
    std::vector<PruneProblem>& problems_;
};

}  // namespace

void RemoveEmptyFolders(const Catalog& catalog, bool dryRun,
                        const std::function<void(const std::string&)>& removed,
                        std::vector<PruneProblem>& problems) {
    std::vector<PruneProblem> found;
    Pruner(catalog.fileSystem(), dryRun, removed, found).visit(catalog.FavoritesRoot(), true);
    // A folder that cannot be read is met again from each folder above it.
    for (auto& p : found) {
        const bool seen = std::any_of(problems.begin(), problems.end(),
                                      [&](const PruneProblem& q) { return q.path == p.path; });
        if (!seen) problems.push_back(std::move(p));
    }
}

}  // namespace brim::core
