#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Numbers.h"
#include "core/Paths.h"

namespace brim::cli {
namespace {

class FoldersCommand final : public Command {
  public:
    std::string_view name() const override { return "folders"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override { return "every folder the list walks, as labels"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (!args.empty()) return ctx.usage("folders takes no arguments", *this);
        std::vector<std::string> labels;
        const auto& catalog = ctx.catalog;
        if (!catalog.ListFolder(
                catalog.FavoritesRoot(), [&](std::string&& l) { labels.push_back(std::move(l)); },
                ctx.problemReporter())) {
            return ctx.favoritesUnreadable();
        }
        printStrings(ctx.out, ctx.json, "Folder", labels, "フォルダ数:");
        return kSuccess;
    }
};

class ShowCommand final : public Command {
  public:
    std::string_view name() const override { return "show"; }
    std::string_view synopsis() const override { return "PATH"; }
    std::string_view summary() const override {
        return "one favorite's folder, name, address and comment";
    }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (args.size() != 1) return ctx.usage("show takes one path", *this);
        const std::string& path = args[0];
        const auto& catalog = ctx.catalog;
        if (!ctx.fs.attributes(core::FullPath(catalog.FavoritesRoot(), path))) {
            return ctx.fail("no such favorite: " + path);
        }
        const core::FavoriteFields f = catalog.fieldsOf(path);
        if (ctx.json) {
            ctx.out << "{\"folder\":" << jsonString(f.folder) << ",\"name\":" << jsonString(f.name)
                    << ",\"url\":" << jsonString(f.url) << ",\"comment\":" << jsonString(f.comment)
                    << "}\n";
            return kSuccess;
        }
        printTable(
            ctx.out, {"Field", "Value"},
            {{"Folder", f.folder}, {"Name", f.name}, {"URL", f.url}, {"Comment", f.comment}});
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeFoldersCommand() {
    return std::make_unique<FoldersCommand>();
}
std::unique_ptr<Command> makeShowCommand() {
    return std::make_unique<ShowCommand>();
}

}  // namespace brim::cli
