
#include "cli/Command.h"
#include "cli/SearchArguments.h"

namespace brim::cli {
namespace {

class SearchCommand final : public Command {
  public:
    std::string_view name() const override { return "search"; }
    std::string_view synopsis() const override {
        return "[--and|--or] [--fields folder,name,url,comment] [--ignore-case|--case-sensitive] "
               "TEXT";
    }
    std::string_view summary() const override {
        return "favorites holding the keywords (an empty TEXT lists all)";
    }
    void define(VerbOptions& verb) override {
        search_.define(verb);
        takeOperands(verb, "TEXT", 0, kAnyNumber);
    }

    int run(const Context& ctx) override {
        std::string error;
        if (!search_.check(error)) return ctx.usage(error, *this);
        return ctx.printFavorites(
            [&](const core::RowSink& add) { return search_.run(ctx, operands, add); });
    }

  private:
    SearchArguments search_;
};

}  // namespace

std::unique_ptr<Command> makeSearchCommand() {
    return std::make_unique<SearchCommand>();
}

}  // namespace brim::cli
