
#include "cli/Command.h"
#include "cli/Output.h"

namespace brim::cli {
namespace {

class FoldersCommand final : public Command {
  public:
    std::string_view name() const override { return "folders"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override { return "every folder the list walks, as labels"; }
    void define(VerbOptions&) override {}

    int run(const Context& ctx) override {
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

}  // namespace

std::unique_ptr<Command> makeFoldersCommand() {
    return std::make_unique<FoldersCommand>();
}

}  // namespace brim::cli
