#include "core/Catalog.h"

#include "core/Paths.h"

namespace brim::core {

bool Catalog::ListDir(const std::string& folder, const RowSink& add,
                      const ProblemSink& problem) const {
    std::string bytes;  // one buffer for every file of the walk
    WalkVisitor visitor;
    visitor.problem = problem;
    visitor.folder = [&](const std::string& path, const std::string& label,
                         const FolderContents& contents) {
        for (const auto& name : contents.files) {
            FavoriteItem row{name, label, {}, {}, path + name};
            if (contents.folder->readFile(name, bytes)) {
                row.comment = profile_.valueIn(bytes, kCommentSection, kCommentKey);
                row.url = profile_.valueIn(bytes, kShortcutSection, kUrlKey);
            }
            add(std::move(row));
        }
    };
    return walkTree(fs_, root_, folder, visitor);
}

bool Catalog::allFavorites(std::vector<FavoriteItem>& rows, const ProblemSink& problem) const {
    rows.clear();
    return ListDir(
        root_, [&](FavoriteItem&& row) { rows.push_back(std::move(row)); }, problem);
}

bool Catalog::ListFolder(const std::string& folder, const std::function<void(std::string&&)>& add,
                         const ProblemSink& problem) const {
    WalkVisitor visitor;
    visitor.problem = problem;
    visitor.folder = [&](const std::string&, const std::string& label, const FolderContents&) {
        add(std::string(label));
    };
    return walkTree(fs_, root_, folder, visitor);
}

FavoriteFields Catalog::fieldsOf(std::string_view path) const {
    const auto [folder, name] = SplitAtLastSeparator(path);
    ShortcutValues values = profile_.ReadShortcut(FullPath(root_, path));
    return {std::string(folder), StripExtension(name), std::move(values.url),
            std::move(values.comment)};
}

}  // namespace brim::core
