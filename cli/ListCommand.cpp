
#include "cli/Command.h"

namespace brim::cli {
namespace {

class ListCommand final : public Command {
  public:
    std::string_view name() const override { return "list"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override {
        return "every favorite: name, folder, comment (JSON adds url and path)";
    }
    void define(VerbOptions&) override {}

    int run(const Context& ctx) override {
        const auto& catalog = ctx.catalog;
        return ctx.printFavorites([&](const core::RowSink& add) {
            return catalog.ListDir(catalog.FavoritesRoot(), add, ctx.problemReporter(),
                                   {core::machineThreads()});
        });
    }
};

}  // namespace

std::unique_ptr<Command> makeListCommand() {
    return std::make_unique<ListCommand>();
}

}  // namespace brim::cli
