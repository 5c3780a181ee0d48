#include "core/Walk.h"

#include "core/Paths.h"
#include "platform/NativePaths.h"

namespace brim::core {

using platform::kDirectory;
using platform::kHidden;
using platform::kSystem;

std::optional<FolderContents> readFolder(platform::FileSystem& fs, const std::string& folder,
                                         const std::function<void(const WalkProblem&)>& problem) {
    FolderContents contents;
    contents.folder = fs.openFolder(folder);
    if (!contents.folder) return std::nullopt;
    auto entries = contents.folder->entries();
    if (!entries) return std::nullopt;
    for (auto& e : *entries) {
        const bool isFile = (e.attributes & (kDirectory | kHidden | kSystem)) == 0;
        const bool enter = isFolderToEnter(e);
        if (!isFile && !enter) continue;
        if (!isExpressibleName(e.name)) {
            if (problem) problem({WalkProblem::Kind::Unexpressible, folder + e.name});
            continue;
        }
        (isFile ? contents.files : contents.subfolders).push_back(std::move(e.name));
    }
    return contents;
}

bool walkTree(platform::FileSystem& fs, const std::string& favoritesRoot, const std::string& start,
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
        const auto contents = readFolder(fs, current.path, visitor.problem);
        if (!contents) {
            if (visitor.problem) visitor.problem({WalkProblem::Kind::Unreadable, current.path});
            if (first) return false;
            continue;
        }
        first = false;
        if (visitor.folder) visitor.folder(current.path, current.label, *contents);
        for (const auto& name : contents->subfolders) {
            stack.push_back(
                {current.path + name + platform::kNativeSeparator, current.label + name + "\\"});
        }
    }
    return true;
}

}  // namespace brim::core
