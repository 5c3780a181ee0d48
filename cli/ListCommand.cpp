#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"

namespace brim::cli {
namespace {

class ListCommand final : public Command {
  public:
    std::string_view name() const override { return "list"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override { return "every favorite: name, folder, comment"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (!args.empty())
            return ctx.usage("list takes no arguments", synopsis());
        std::vector<core::FavoriteItem> rows;
        const bool ok = ctx.catalog.allFavorites(rows, [&](const core::WalkProblem& p) {
            if (p.kind == core::WalkProblem::Kind::Unexpressible) {
                ctx.err << "brimmark-cli: skipped a name that cannot be shown: " << p.path << '\n';
            } else if (p.path != ctx.catalog.FavoritesRoot()) {
                ctx.err << "brimmark-cli: skipped a folder that cannot be read: " << p.path << '\n';
            }
        });
        if (!ok)
            return ctx.fail("cannot read the Favorites folder " + ctx.catalog.FavoritesRoot());
        printFavorites(ctx.out, ctx.json, rows);
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeListCommand() {
    return std::make_unique<ListCommand>();
}

}  // namespace brim::cli
