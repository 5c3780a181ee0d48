#include <algorithm>
#include <istream>
#include <map>
#include <ostream>

#include "app/Trash.h"
#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Editing.h"
#include "core/Paths.h"
#include "platform/posix/FreedesktopTrash.h"

namespace brim::cli {
namespace {

// Reads "--option VALUE" pairs of `names`; false when one lacks its value or
// an argument is not one of them.
bool readOptions(std::span<const std::string> args, std::initializer_list<const char*> names,
                 std::map<std::string, std::string>& values, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto known =
            std::find_if(names.begin(), names.end(), [&](const char* n) { return args[i] == n; });
        if (known == names.end()) {
            error = "unknown argument " + args[i];
            return false;
        }
        if (++i == args.size()) {
            error = args[i - 1] + " needs a value";
            return false;
        }
        values[args[i - 1]] = args[i];
    }
    return true;
}

class SaveCommand final : public Command {
  public:
    std::string_view name() const override { return "save"; }
    std::string_view synopsis() const override {
        return "[--name N] [--url U] [--comment C] [--folder F]";
    }
    std::string_view summary() const override { return "writes a favorite as \"保存\" does"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        std::map<std::string, std::string> v;
        std::string error;
        if (!readOptions(args, {"--name", "--url", "--comment", "--folder"}, v, error)) {
            return ctx.usage(error, *this);
        }
        if (!v.count("--name") && !v.count("--url")) {
            return ctx.usage("save needs --name or --url", *this);
        }
        // An option not given keeps what the file holds.
        const auto given = [&](const char* option) {
            const auto it = v.find(option);
            return it == v.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        const core::SaveResult r = core::Savefiles(
            ctx.catalog, {v["--name"], given("--url"), given("--comment"), v["--folder"]});
        switch (r.kind) {
            case core::SaveResult::Kind::Saved:
                break;
            case core::SaveResult::Kind::NoName:
                return ctx.fail("a favorite needs a name or an address");
            case core::SaveResult::Kind::BadName:
                return ctx.fail("\"" + r.fileName +
                                "\" cannot be a favorite's name (it holds \\ or /)");
            case core::SaveResult::Kind::HiddenName:
                return ctx.fail("\"" + r.fileName +
                                "\" would be hidden (it starts with \".\") and never listed");
            case core::SaveResult::Kind::NotWritten:
                return ctx.fail("cannot save " + r.path + ": " + core::describe(r.status));
        }
        if (ctx.json) {
            ctx.out << "{\"path\":" << jsonString(r.path) << "}\n";
        } else {
            ctx.out << "saved " << r.path << '\n';
        }
        return kSuccess;
    }
};

class DeleteCommand final : public Command {
  public:
    std::string_view name() const override { return "delete"; }
    std::string_view synopsis() const override { return "[--yes] PATH..."; }
    std::string_view summary() const override { return "moves favorites to the trash"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        bool yes = false;
        std::vector<std::string> paths;
        for (const auto& a : args) {
            if (a == "--yes") {
                yes = true;
            } else {
                paths.push_back(core::FullPath(ctx.catalog.FavoritesRoot(), a));
            }
        }
        if (paths.empty()) return ctx.usage("delete needs a path", *this);
        if (!yes && !ctx.questions) {
            return ctx.fail("not asking without a terminal: give --yes to delete");
        }
        platform::FreedesktopTrash trash;
        std::vector<std::string> moved;
        int rc = kSuccess;
        for (const auto& path : paths) {
            // The window's "削除" takes the same steps: found, asked, moved.
            const app::TrashOutcome r = app::MoveToTrash(ctx.fs, trash, path, [&] {
                if (yes) return true;
                ctx.err << "Move " << path << " to the trash? [y/N] " << std::flush;
                std::string answer;
                return std::getline(*ctx.questions, answer) && (answer == "y" || answer == "yes");
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
        printStrings(ctx.out, ctx.json, "Moved to the trash", moved);
        return rc;
    }
};

class PruneCommand final : public Command {
  public:
    std::string_view name() const override { return "prune-empty"; }
    std::string_view synopsis() const override { return "[--dry-run]"; }
    std::string_view summary() const override { return "removes empty folders"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        const bool dryRun = args.size() == 1 && args[0] == "--dry-run";
        if (!args.empty() && !dryRun) return ctx.usage("unknown argument " + args[0], *this);
        if (!ctx.fs.attributes(ctx.catalog.FavoritesRoot())) return ctx.favoritesUnreadable();
        std::vector<std::string> removed;
        std::vector<core::PruneProblem> problems;
        core::RemoveEmptyFolders(
            ctx.catalog, dryRun, [&](const std::string& p) { removed.push_back(p); }, problems);
        printStrings(ctx.out, ctx.json, dryRun ? "Would remove" : "Deleted Folders", removed);
        for (const auto& p : problems) {
            ctx.fail("cannot remove or read " + p.path + ": " + core::describe(p.io));
        }
        return problems.empty() ? kSuccess : kFailure;
    }
};

}  // namespace

std::unique_ptr<Command> makeSaveCommand() {
    return std::make_unique<SaveCommand>();
}
std::unique_ptr<Command> makeDeleteCommand() {
    return std::make_unique<DeleteCommand>();
}
std::unique_ptr<Command> makePruneCommand() {
    return std::make_unique<PruneCommand>();
}

}  // namespace brim::cli
