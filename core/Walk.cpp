#include "core/Walk.h"

#include <set>

#include "core/DiskNames.h"
#include "core/Paths.h"
#include "platform/NativePaths.h"

namespace brim::core {

using platform::kDirectory;
using platform::kHidden;
using platform::kSystem;

namespace {

// The name `disk` as shown, or nullopt when it cannot be written in the
// program's notation (it holds "\" or "/" once decoded).
std::optional<ShownName> expressible(const std::string& disk, const platform::CodePage& cp) {
    ShownName shown = ShowName(disk, cp);
    if (shown.text.find_first_of("\\/") != std::string::npos) return std::nullopt;
    return shown;
}

}  // namespace

void ShownNameCount::note(const WalkProblem& p) {
    if (p.kind == WalkProblem::Kind::ShownDecoded || p.kind == WalkProblem::Kind::ShownReplaced) {
        noted_.emplace(p.path, p.kind);
    }
}

ShownNameCount::Counts ShownNameCount::among(const std::vector<std::string>& paths) const {
    Counts counts;
    if (noted_.empty()) return counts;
    std::set<std::string_view> seen;
    const auto native = platform::NativePaths::native();
    for (const auto& path : paths) {
        // The file, then each folder above it.
        for (std::string_view p = path; !p.empty();) {
            const auto it = noted_.find(std::string(p));
            if (it != noted_.end() && seen.insert(it->first).second) {
                ++(it->second == WalkProblem::Kind::ShownDecoded ? counts.decoded
                                                                 : counts.replaced);
            }
            const std::size_t sep = native.lastSeparator(p);
            if (sep == std::string_view::npos || sep == 0) break;
            p = p.substr(0, sep);
        }
    }
    return counts;
}

bool isWalkedFolder(const platform::DirEntry& e, const platform::CodePage& cp) {
    return isFolderToEnter(e) && expressible(e.name, cp).has_value();
}

std::optional<FolderContents> readFolder(platform::FileSystem& fs, const platform::CodePage& cp,
                                         const std::string& folder,
                                         const std::function<void(const WalkProblem&)>& problem,
                                         bool fileStamps) {
    FolderContents contents;
    contents.folder = fs.openFolder(folder);
    if (!contents.folder) return std::nullopt;
    auto entries = fileStamps ? contents.folder->entries() : contents.folder->entriesUnstamped();
    if (!entries) return std::nullopt;
    for (auto& e : *entries) {
        const bool isFile = (e.attributes & (kDirectory | kHidden | kSystem)) == 0;
        const bool enter = isFolderToEnter(e);
        if (!isFile && !enter) continue;
        auto shown = expressible(e.name, cp);
        if (!shown) {
            if (problem) problem({WalkProblem::Kind::Unexpressible, folder + e.name});
            continue;
        }
        // Windows marks these system files; a copy on another disk lost the mark.
        if (isFile && isSystemFileName(shown->text)) continue;
        if (problem && shown->form != NameForm::Utf8) {
            problem({shown->form == NameForm::CodePage ? WalkProblem::Kind::ShownDecoded
                                                       : WalkProblem::Kind::ShownReplaced,
                     folder + e.name});
        }
        (isFile ? contents.files : contents.subfolders)
            .push_back({std::move(e.name), std::move(shown->text), e.stamp});
    }
    return contents;
}

bool walkTree(platform::FileSystem& fs, const platform::CodePage& cp,
              const std::string& favoritesRoot, const std::string& start,
              const WalkVisitor& visitor) {
    struct Pending {
        std::string path;
        std::string label;
    };
    // An explicit stack rather than recursion: a deep tree cannot exhaust it,
    // and popping the last pushed subfolder first gives the walk's order.
    std::vector<Pending> stack{{start, FolderLabel(favoritesRoot, start)}};
    bool first = true;
    while (!stack.empty()) {
        Pending current = std::move(stack.back());
        stack.pop_back();
        const auto contents = readFolder(fs, cp, current.path, visitor.problem);
        if (!contents) {
            if (visitor.problem) visitor.problem({WalkProblem::Kind::Unreadable, current.path});
            if (first) return false;
            continue;
        }
        first = false;
        if (visitor.folder) visitor.folder(current.path, current.label, *contents);
        for (const auto& name : contents->subfolders) {
            stack.push_back({current.path + name.disk + platform::kNativeSeparator,
                             current.label + name.shown + "\\"});
        }
    }
    return true;
}

}  // namespace brim::core
