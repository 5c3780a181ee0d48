
#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Editing.h"

namespace brim::cli {
namespace {

class PruneCommand final : public Command {
  public:
    std::string_view name() const override { return "prune-empty"; }
    std::string_view synopsis() const override { return "[--dry-run]"; }
    std::string_view summary() const override { return "removes empty folders"; }
    void define(VerbOptions& verb) override {
        verb.flag("--dry-run", dryRun_, "only lists what would be removed");
    }

    int run(const Context& ctx) override {
        if (!ctx.fs().attributes(ctx.catalog.FavoritesRoot())) return ctx.favoritesUnreadable();
        std::vector<std::string> removed;
        std::vector<core::PruneProblem> problems;
        core::RemoveEmptyFolders(
            ctx.catalog, dryRun_, [&](const std::string& p) { removed.push_back(p); }, problems);
        printStrings(ctx.out, ctx.json, dryRun_ ? "Would remove" : "Deleted Folders", removed);
        for (const auto& p : problems) {
            ctx.fail("cannot remove or read " + p.path + ": " + core::describe(p.io));
        }
        return problems.empty() ? kSuccess : kFailure;
    }

  private:
    bool dryRun_ = false;
};

}  // namespace

std::unique_ptr<Command> makePruneCommand() {
    return std::make_unique<PruneCommand>();
}

}  // namespace brim::cli
