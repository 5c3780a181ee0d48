#include <unistd.h>

#include <climits>
#include <ostream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/Output.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixKnownFolders.h"

namespace brim::cli {
namespace {

constexpr std::string_view kProgram = "brimmark-cli";

void printHelp(std::ostream& out) {
    out << "usage: " << kProgram << " [--favorites DIR] [--json] VERB [ARGS]\n\n"
        << "  --favorites DIR  the Favorites folder (default: $BRIMMARK_FAVORITES or ~/Favorites)\n"
        << "  --json           print one JSON document\n\nverbs:\n";
    for (const auto& c : allCommands()) {
        std::string head = std::string(c->name());
        if (!c->synopsis().empty()) head += " " + std::string(c->synopsis());
        out << "  " << head << std::string(head.size() < 24 ? 24 - head.size() : 1, ' ')
            << c->summary() << '\n';
    }
}

std::string absoluteFolder(const std::string& dir) {
    if (!dir.empty() && dir.front() == '/') return platform::withTrailingSeparator(dir);
    return platform::withTrailingSeparator(currentFolder() + dir);
}

}  // namespace

std::string currentFolder() {
    char cwd[PATH_MAX];
    return platform::withTrailingSeparator(getcwd(cwd, sizeof cwd) ? cwd : ".");
}

int Context::fail(std::string_view message) const {
    err << kProgram << ": " << message << '\n';
    return kFailure;
}

int Context::usage(std::string_view message, const Command& verb) const {
    err << kProgram << ": " << message << '\n';
    err << "usage: " << kProgram << " [--favorites DIR] [--json] " << verb.name();
    if (!verb.synopsis().empty()) err << ' ' << verb.synopsis();
    err << '\n';
    return kUsage;
}

core::ProblemSink Context::problemReporter() const {
    return [this](const core::WalkProblem& p) {
        if (p.kind == core::WalkProblem::Kind::Unexpressible) {
            err << kProgram << ": skipped a name that cannot be shown: " << p.path << '\n';
        } else if (p.path != catalog.FavoritesRoot()) {
            err << kProgram << ": skipped a folder that cannot be read: " << p.path << '\n';
        }
    };
}

int Context::favoritesUnreadable() const {
    return fail("cannot read the Favorites folder " + catalog.FavoritesRoot());
}

int Context::printFavorites(const std::function<bool(const core::RowSink&)>& walk) const {
    FavoritesPrinter printer(out, json);
    if (!walk([&](core::FavoriteItem&& row) { printer.add(std::move(row)); })) {
        return favoritesUnreadable();
    }
    printer.finish();
    return kSuccess;
}

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeListCommand());
    commands.push_back(makeFoldersCommand());
    commands.push_back(makeShowCommand());
    commands.push_back(makeSearchCommand());
    commands.push_back(makeSameCommand());
    commands.push_back(makePagesCommand());
    commands.push_back(makeOpenCommand());
    commands.push_back(makeSaveCommand());
    commands.push_back(makeDeleteCommand());
    commands.push_back(makePruneCommand());
    commands.push_back(makeExportCommand());
    return commands;
}

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const platform::KnownFolders* folders, std::istream* questions) {
    const auto usageError = [&](std::string_view message) {
        err << kProgram << ": " << message << "\n";
        err << "usage: " << kProgram
            << " [--favorites DIR] [--json] VERB [ARGS]  (--help lists the verbs)\n";
        return kUsage;
    };
    std::string favorites;
    bool json = false;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--favorites") {
            if (++i == args.size()) return usageError("--favorites needs a folder");
            favorites = absoluteFolder(args[i]);
        } else if (args[i] == "--help") {
            printHelp(out);
            return kSuccess;
        } else {
            return usageError("unknown option " + args[i]);
        }
    }
    if (i == args.size()) return usageError("no verb given");
    const auto commands = allCommands();
    const Command* command = nullptr;
    for (const auto& c : commands) {
        if (c->name() == args[i]) command = c.get();
    }
    if (!command) return usageError("unknown verb " + args[i]);

    const platform::PosixKnownFolders processFolders;
    if (!folders) folders = &processFolders;
    std::unique_ptr<platform::IconvCodePage> codePage;
    try {
        codePage = std::make_unique<platform::IconvCodePage>(platform::defaultCodePageName());
    } catch (const std::runtime_error& e) {
        err << kProgram << ": " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return kFailure;
    }
    platform::PosixFileSystem fs;
    const core::Profile profile(fs, *codePage, *folders);
    const core::Catalog catalog(fs, profile, favorites.empty() ? folders->favorites() : favorites);
    const Context ctx{fs, *codePage, *folders, profile, catalog, json, out, err, questions};
    return command->run(ctx, args.subspan(i + 1));
}

}  // namespace brim::cli
