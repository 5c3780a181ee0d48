
#include "app/MoveToTrash.h"
#include "cli/Command.h"
#include "cli/Output.h"

namespace brim::cli {
namespace {

class DeleteCommand final : public Command {
  public:
    std::string_view name() const override { return "delete"; }
    std::string_view synopsis() const override { return "[--yes] PATH..."; }
    std::string_view summary() const override { return "moves favorites to the trash"; }
    void define(VerbOptions& verb) override {
        verb.flag("--yes", yes_, "moves without asking");
        takeOperands(verb, "PATH", 1, kAnyNumber);
    }

    int run(const Context& ctx) override {
        if (!yes_ && !ctx.questions) {
            return ctx.fail("not asking without a terminal: give --yes to delete");
        }
        std::vector<std::string> moved;
        int rc = kSuccess;
        for (const auto& operand : operands) {
            // Found as Windows finds it: whatever the case, or the code page, of its name.
            const std::string path = ctx.catalog.locate(operand);
            // The window's "削除" takes the same steps: found, asked, moved.
            const app::TrashOutcome r = app::MoveToTrash(ctx.fs(), *ctx.services.trash, path, [&] {
                return yes_ || ctx.confirm("Move " + path + " to the trash?");
            });
            switch (r.kind) {
                case app::TrashOutcome::Kind::Moved:
                    moved.push_back(path);
                    break;
                case app::TrashOutcome::Kind::Kept:
                    break;
                case app::TrashOutcome::Kind::NotFound:
                    rc = ctx.fail("no such file: " + path);
                    break;
                case app::TrashOutcome::Kind::Failed:
                    rc = ctx.fail("cannot move " + path + " to the trash: " + core::describe(r.io));
                    break;
            }
        }
        // Only what really moved is reported as moved, once every failure is known.
        if (ctx.json || !moved.empty())
            printStrings(ctx.out, ctx.json, "Moved to the trash", moved);
        return rc;
    }

  private:
    bool yes_ = false;
};

}  // namespace

std::unique_ptr<Command> makeDeleteCommand() {
    return std::make_unique<DeleteCommand>();
}

}  // namespace brim::cli
