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
        if (!args.empty()) return ctx.usage("list takes no arguments", *this);
        FavoritesPrinter printer(ctx.out, ctx.json);
        const auto& catalog = ctx.catalog;
        if (!catalog.ListDir(
                catalog.FavoritesRoot(),
                [&](core::FavoriteItem&& row) { printer.add(std::move(row)); },
                ctx.problemReporter())) {
            return ctx.favoritesUnreadable();
        }
        printer.finish();
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeListCommand() {
    return std::make_unique<ListCommand>();
}

}  // namespace brim::cli
