
#include "cli/Command.h"
#include "core/Search.h"

namespace brim::cli {
namespace {

class SameCommand final : public Command {
  public:
    std::string_view name() const override { return "same"; }
    std::string_view synopsis() const override { return "URL"; }
    std::string_view summary() const override { return "favorites whose address contains URL"; }
    void define(VerbOptions& verb) override { takeOperands(verb, "URL", 1, 1); }

    int run(const Context& ctx) override {
        const core::Search search(ctx.catalog, *ctx.services.caseMapper);
        const auto options = core::LoadSearchOptions(ctx.profile).options();
        return ctx.printFavorites([&](const core::RowSink& add) {
            return search.Same(operands.front(), options, add, ctx.problemReporter());
        });
    }
};

}  // namespace

std::unique_ptr<Command> makeSameCommand() {
    return std::make_unique<SameCommand>();
}

}  // namespace brim::cli
