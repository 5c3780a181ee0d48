#include "core/Editing.h"

#include <algorithm>

#include "core/Paths.h"

namespace brim::core {
namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string withoutTrailingSlash(std::string path) {
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

SaveResult Savefiles(const Catalog& catalog, const SaveRequest& r) {
    SaveResult result;
    std::string n = r.name.empty() ? r.url : r.name;
    // The file ".url" would be hidden and never listed.
    if (n.empty()) return {SaveResult::Kind::NoName, {}, {}, {}};
    if (!endsWith(n, ".url") && !endsWith(n, ".URL")) n += ".url";
    result.fileName = n;
    if (n.find_first_of("\\/") != std::string::npos) {
        result.kind = SaveResult::Kind::BadName;
        return result;
    }
    const std::string& root = catalog.FavoritesRoot();
    // One folder level is created; a deeper missing path shows in the write.
    catalog.fileSystem().createFolder(withoutTrailingSlash(FullPath(root, r.folder)));
    result.path = FullPath(root, r.folder + "\\" + n);
    const Profile& profile = catalog.profile();
    result.status = profile.WriteShortcutUrl(result.path, r.url);
    if (result.status) result.status = profile.WriteShortcutComment(result.path, r.comment);
    if (!result.status) result.kind = SaveResult::Kind::NotWritten;
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

    // Walks `folder` (ending in "/") as the listing walks: a subtree that is
    // empty goes whole; any other folder is entered, last listed first.
    void visit(const std::string& folder, bool isRoot) {
        if (!isRoot) {
            std::vector<std::string> tree;
            if (emptyTree(folder, tree)) {
                removeTree(folder, tree);
                return;
            }
        }
        const auto contents = readFolder(fs_, folder);
        if (!contents) return;  // reported by emptyTree, or the root is gone
        for (auto it = contents->subfolders.rbegin(); it != contents->subfolders.rend(); ++it) {
            visit(folder + *it + "/", false);
        }
    }

  private:
    // True when `folder` holds nothing but plain folders that hold nothing, at
    // any depth; `tree` gets those folders, deepest last. Anything else — a
    // file of any size, a link, a hidden or read-only folder — is content.
    bool emptyTree(const std::string& folder, std::vector<std::string>& tree) {
        const auto entries = fs_.listFolder(folder);
        if (!entries) {
            problems_.push_back({folder, {platform::IoError::Denied, 0}});
            return false;
        }
        for (const auto& e : *entries) {
            if (e.attributes != platform::kDirectory) return false;
        }
        for (const auto& e : *entries) {
            tree.push_back(folder + e.name + "/");
            if (!emptyTree(tree.back(), tree)) return false;
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
