#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"

namespace brim::cli {
namespace {

class ShowCommand final : public Command {
  public:
    std::string_view name() const override { return "show"; }
    std::string_view synopsis() const override { return "PATH"; }
    std::string_view summary() const override {
        return "one favorite's folder, name, address and comment";
    }
    void define(VerbOptions& verb) override { takeOperands(verb, "PATH", 1, 1); }

    int run(const Context& ctx) override {
        const std::string& path = operands.front();
        const auto& catalog = ctx.catalog;
        // Found as Windows finds it: whatever the case, or the code page, of its name.
        const std::string file = catalog.locate(path);
        if (!ctx.fs().attributes(file)) return ctx.fail("no such favorite: " + path);
        const core::FavoriteFields f = catalog.fieldsOf(path, file);
        if (ctx.json) {
            ctx.out << jsonObject({{"folder", f.folder},
                                   {"name", f.name},
                                   {"url", f.url},
                                   {"comment", f.comment}})
                    << '\n';
            return kSuccess;
        }
        printTable(
            ctx.out, {"Field", "Value"},
            {{"Folder", f.folder}, {"Name", f.name}, {"URL", f.url}, {"Comment", f.comment}});
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeShowCommand() {
    return std::make_unique<ShowCommand>();
}

}  // namespace brim::cli
