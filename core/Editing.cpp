#include "core/Editing.h"

#include <algorithm>
#include <array>

#include "core/DiskNames.h"
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

// The two keys a save writes; an address or comment not given keeps the stored one.
std::array<ProfileChange, 2> changes(const SaveRequest& r) {
    const auto view = [](const std::optional<std::string>& s) {
        return s ? std::optional<std::string_view>(*s) : std::nullopt;
    };
    return {ProfileChange{kShortcutSection, kUrlKey, view(r.url)},
            ProfileChange{kCommentSection, kCommentKey, view(r.comment)}};
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
    platform::FileSystem& fs = catalog.fileSystem();
    const platform::CodePage& cp = catalog.profile().codePage();
    // The folder as on disk when it exists up to case or code page. One
    // folder level is created; a deeper missing path shows in the write.
    const std::string folder = withoutTrailingSlash(catalog.locate(r.folder));
    const bool folderExisted = fs.attributes(folder).has_value();
    static_cast<void>(fs.createFolder(folder));
    const std::string inFolder = folder + platform::kNativeSeparator;
    // A file the caller names is written when it is still there.
    const bool known = !r.file.empty() && fs.attributes(r.file).has_value();
    result.path = known ? r.file : inFolder + n;
    // The name is looked up under the folder's lock, so that a file that
    // differs only in case, made meanwhile, is written rather than doubled.
    const auto lock = fs.lockForUpdate(result.path);
    if (lock.status.error == platform::IoError::Busy) {
        result.status = {WriteStatus::Kind::WriteFailed, lock.status, {}, {}};
    } else {
        if (known) {
            result.fileName = ShownFileName(r.file, cp);
        } else if (const auto existing = FindEntry(fs, cp, inFolder, n)) {
            result.fileName = ShowName(*existing, cp).text;
            result.path = inFolder + *existing;
        }
        result.status = catalog.profile().writeLocked(result.path, changes(r));
    }
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
    return catalog.locate(folder + name + ".url");
}

namespace {

class Pruner {
  public:
    Pruner(platform::FileSystem& fs, const platform::CodePage& cp, bool dryRun,
           const std::function<void(const std::string&)>& removed,
           std::vector<PruneProblem>& problems)
        : fs_(fs), cp_(cp), dryRun_(dryRun), removed_(removed), problems_(problems) {}

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
            if (isWalkedFolder(*it, cp_)) {
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
            if (!isWalkedFolder(e, cp_)) return false;
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
    const platform::CodePage& cp_;
    bool dryRun_;
    const std::function<void(const std::string&)>& removed_;
    std::vector<PruneProblem>& problems_;
};

}  // namespace

void RemoveEmptyFolders(const Catalog& catalog, bool dryRun,
                        const std::function<void(const std::string&)>& removed,
                        std::vector<PruneProblem>& problems) {
    std::vector<PruneProblem> found;
    Pruner(catalog.fileSystem(), catalog.profile().codePage(), dryRun, removed, found)
        .visit(catalog.FavoritesRoot(), true);
    // A folder that cannot be read is met again from each folder above it.
    for (auto& p : found) {
        const bool seen = std::any_of(problems.begin(), problems.end(),
                                      [&](const PruneProblem& q) { return q.path == p.path; });
        if (!seen) problems.push_back(std::move(p));
    }
}

namespace {

class NameFixer {
  public:
    NameFixer(platform::FileSystem& fs, const platform::CodePage& cp, bool dryRun)
        : fs_(fs), cp_(cp), dryRun_(dryRun) {}

    // Fixes the names below `folder` (a system path ending in a separator,
    // shown as `label`): its subfolders' contents first, so that no path
    // changes under a rename still to come.
    void visit(const std::string& folder, const std::string& label) {
        const auto entries = fs_.listFolder(folder);
        if (!entries) return;
        std::vector<std::pair<const platform::DirEntry*, ShownName>> names;
        for (const auto& e : *entries) {
            const bool isFile =
                (e.attributes & (platform::kDirectory | platform::kHidden | platform::kSystem)) ==
                0;
            if (!isFile && !isFolderToEnter(e)) continue;
            names.emplace_back(&e, ShowName(e.name, cp_));
            const ShownName& shown = names.back().second;
            if (isFolderToEnter(e)) {
                visit(folder + e.name + platform::kNativeSeparator, label + shown.text + "\\");
            }
        }
        // The names the folder will hold, for clashes with what a rename made.
        std::vector<std::string> taken;
        for (const auto& e : *entries)
            taken.push_back(e.name);
        for (const auto& entry : names) {
            // Plain names: clang before 16 cannot capture structured bindings.
            const platform::DirEntry* e = entry.first;
            const ShownName& shown = entry.second;
            if (shown.form == NameForm::Utf8) continue;
            NameFix fix;
            fix.shown = label + shown.text + (isFolderToEnter(*e) ? "\\" : "");
            fix.from = folder + e->name;
            fix.to = folder + shown.text;
            if (shown.form == NameForm::Undecodable) {
                fix.kind = NameFix::Kind::Undecodable;
            } else if (shown.text.find_first_of("\\/") != std::string::npos ||
                       std::any_of(taken.begin(), taken.end(), [&](const std::string& t) {
                           return t != e->name &&
                                  sameNameUpToCase(ShowName(t, cp_).text, shown.text);
                       })) {
                // Also a name equal but for case: Windows could not hold both.
                fix.kind = NameFix::Kind::Clash;
            } else if (!dryRun_) {
                fix.io = fs_.renameNew(fix.from, fix.to);
                if (fix.io.error == platform::IoError::Exists) {
                    fix.kind = NameFix::Kind::Clash;
                } else if (!fix.io) {
                    fix.kind = NameFix::Kind::Failed;
                }
            }
            if (fix.kind == NameFix::Kind::Renamed) {
                std::replace(taken.begin(), taken.end(), e->name, shown.text);
            }
            fixes.push_back(std::move(fix));
        }
    }

    std::vector<NameFix> fixes;

  private:
    platform::FileSystem& fs_;
    const platform::CodePage& cp_;
    bool dryRun_;
};

}  // namespace

std::vector<NameFix> FixNames(const Catalog& catalog, bool dryRun) {
    NameFixer fixer(catalog.fileSystem(), catalog.profile().codePage(), dryRun);
    fixer.visit(catalog.FavoritesRoot(), "\\");
    return std::move(fixer.fixes);
}

}  // namespace brim::core
