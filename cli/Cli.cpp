#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <istream>
#include <ostream>
#include <system_error>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/RowCache.h"
#include "platform/NativePaths.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

constexpr std::string_view kProgram = "brimmark-cli";
constexpr std::string_view kGlobalSynopsis = "[--favorites DIR] [--json] [--no-cache]";

constexpr platform::NativePaths kPaths = platform::NativePaths::native();

std::string withTrailingSlash(std::string path) {
    if (path.empty() || !kPaths.isSeparator(path.back())) path += kPaths.separator();
    return path;
}

void printUsage(std::ostream& err, std::string_view message, const Command* verb) {
    err << kProgram << ": " << utf8::visible(message) << '\n';
    err << "usage: " << kProgram << ' ' << kGlobalSynopsis << ' ';
    if (verb) {
        err << verb->name();
        if (!verb->synopsis().empty()) err << ' ' << verb->synopsis();
        err << "\n(" << kProgram << ' ' << verb->name() << " --help tells more)\n";
    } else {
        err << "VERB [ARGS]\n(" << kProgram << " --help lists the verbs)\n";
    }
}

// The verb the parser had reached when it stopped, if any.
Command* parsedVerb(CLI::App& app, const std::vector<std::unique_ptr<Command>>& commands) {
    for (const CLI::App* sub : app.get_subcommands()) {
        for (const auto& c : commands) {
            if (c->name() == sub->get_name()) return c.get();
        }
    }
    return nullptr;
}

}  // namespace

void VerbOptions::flag(const std::string& name, bool& value, const std::string& help) {
    app_.add_flag(name, value, help);
}

void VerbOptions::option(const std::string& name, std::string& value, const std::string& help) {
    app_.add_option(name, value, help);
}

void VerbOptions::option(const std::string& name, std::optional<std::string>& value,
                         const std::string& help) {
    app_.add_option_function<std::string>(
        name, [&value](const std::string& v) { value = v; }, help);
}

void VerbOptions::eitherFlag(const std::string& first, bool& firstValue,
                             const std::string& firstHelp, const std::string& second,
                             bool& secondValue, const std::string& secondHelp) {
    app_.add_flag(first, firstValue, firstHelp)
        ->excludes(app_.add_flag(second, secondValue, secondHelp));
}

void VerbOptions::operands(const std::string& label, std::vector<std::string>& values,
                           const std::string& help) {
    // The parser only collects; a lower bound here would stop it at "--".
    app_.add_option(label, values, help)->expected(0, CLI::detail::expected_max_vector_size);
}

std::string absoluteFromWorkingFolder(const std::string& path) {
    if (kPaths.isAbsolute(path)) return path;
    std::error_code ec;
    const std::u8string cwd = std::filesystem::current_path(ec).u8string();
    if (ec) return path;
    return withTrailingSlash(std::string(cwd.begin(), cwd.end())) + path;
}

int Context::fail(std::string_view message) const {
    err << kProgram << ": " << utf8::visible(message) << '\n';
    return kFailure;
}

int Context::usage(std::string_view message, const Command& verb) const {
    printUsage(err, message, &verb);
    return kUsage;
}

bool Context::confirm(std::string_view question) const {
    if (!questions) return false;
    err << utf8::visible(question) << " [y/N] " << std::flush;
    std::string answer;
    return std::getline(*questions, answer) && (answer == "y" || answer == "yes");
}

core::ProblemSink Context::problemReporter() const {
    return [this](const core::WalkProblem& p) {
        using Kind = core::WalkProblem::Kind;
        if (p.kind == Kind::ShownDecoded || p.kind == Kind::ShownReplaced) {
            shownNames.note(p);
        } else if (p.kind == Kind::Unexpressible) {
            fail("skipped a name that cannot be shown: " + p.path);
        } else if (p.path != catalog.FavoritesRoot()) {
            fail("skipped a folder that cannot be read: " + p.path);
        }
    };
}

void Context::warnShownNames(const std::vector<std::string>& paths) const {
    const auto counts = shownNames.among(paths);
    const auto names = [](std::size_t n) {
        return std::to_string(n) + (n == 1 ? " name" : " names");
    };
    if (counts.decoded > 0) {
        err << kProgram << ": " << names(counts.decoded) << " in " << services.codePage->name()
            << " rather than UTF-8 shown decoded; \"" << kProgram
            << " fix-names\" renames them to UTF-8\n";
    }
    if (counts.replaced > 0) {
        err << kProgram << ": " << names(counts.replaced)
            << " in no known encoding shown with U+FFFD; rename "
            << (counts.replaced == 1 ? "it" : "them") << " in a file manager\n";
    }
}

int Context::favoritesUnreadable() const {
    return fail("cannot read the Favorites folder " + catalog.FavoritesRoot());
}

int Context::printFavorites(const std::function<bool(const core::RowSink&)>& walk) const {
    FavoritesPrinter printer(out, json);
    std::vector<std::string> paths;
    if (!walk([&](core::FavoriteItem&& row) {
            // Until a name shown decoded is met, no row can be among them.
            if (!shownNames.empty()) paths.push_back(row.path);
            printer.add(std::move(row));
        })) {
        return favoritesUnreadable();
    }
    printer.finish();
    warnShownNames(paths);
    return kSuccess;
}

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeListCommand());
    commands.push_back(makeFoldersCommand());
    commands.push_back(makeShowCommand());
    commands.push_back(makeSearchCommand());
    commands.push_back(makeSameCommand());
    commands.push_back(makeDuplicatesCommand());
    commands.push_back(makePagesCommand());
    commands.push_back(makeOpenCommand());
    commands.push_back(makeSaveCommand());
    commands.push_back(makeDeleteCommand());
    commands.push_back(makePruneCommand());
    commands.push_back(makeExportCommand());
    commands.push_back(makeImportCommand());
    commands.push_back(makeFixNamesCommand());
    commands.push_back(makeCheckCommand());
    return commands;
}

namespace {

int parseAndRun(std::span<const std::string> args, platform::Services& services, std::ostream& out,
                std::ostream& err, std::istream* questions) {
    CLI::App app("Keeps order in the Favorites folder's Internet Shortcuts (.url files).",
                 std::string(kProgram));
    app.set_version_flag("--version", std::string(kProgram) + " " BRIMMARK_VERSION,
                         "prints the program's version");
    std::string favorites;
    bool json = false;
    auto* favoritesOption =
        app.add_option("--favorites", favorites,
                       "the Favorites folder (default: $BRIMMARK_FAVORITES or ~/Favorites)");
    app.add_flag("--json", json, "prints one JSON document");
    bool noCache = false;
    app.add_flag("--no-cache", noCache,
                 "reads every favorite's file, neither reading nor writing the cache of them");
    // Options of the program are taken after the verb too.
    app.fallthrough();
    app.footer("Each verb tells its own options: " + std::string(kProgram) + " VERB --help");

    auto commands = allCommands();
    for (const auto& c : commands) {
        CLI::App* verb = app.add_subcommand(std::string(c->name()), std::string(c->summary()));
        VerbOptions options(*verb);
        c->define(options);
    }

    // Words after "--" are the verb's own; the parser is given what comes before.
    const auto end = std::find(args.begin(), args.end(), "--");
    std::vector<std::string> words(std::make_reverse_iterator(end),
                                   std::make_reverse_iterator(args.begin()));
    const std::vector<std::string> trailing(end == args.end() ? end : end + 1, args.end());
    try {
        app.parse(words);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kSuccess;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kSuccess;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kSuccess;
    } catch (const CLI::ParseError& e) {
        printUsage(err, e.what(), parsedVerb(app, commands));
        return kUsage;
    }

    Command* command = parsedVerb(app, commands);
    if (!command) {
        printUsage(err, "no verb given", nullptr);
        return kUsage;
    }
    command->operands.insert(command->operands.end(), trailing.begin(), trailing.end());
    if (command->operands.size() < command->minOperands) {
        printUsage(err, std::string(command->name()) + " needs more arguments", command);
        return kUsage;
    }
    if (command->operands.size() > command->maxOperands) {
        printUsage(err, std::string(command->name()) + " takes fewer arguments", command);
        return kUsage;
    }
    if (favoritesOption->count() > 0 && favorites.empty()) {
        printUsage(err, "--favorites needs a folder, not an empty text", command);
        return kUsage;
    }

    // A relative root would give the trash relative paths, which it cannot restore.
    const std::string root = withTrailingSlash(
        absoluteFromWorkingFolder(favorites.empty() ? services.folders->favorites() : favorites));
    const core::Profile profile(*services.fs, *services.codePage, *services.folders);
    // What the cache holds is what the walks would read; one that cannot be
    // read or written only costs the time of reading the files.
    const std::string cacheFile = noCache
                                      ? std::string()
                                      : core::RowCache::fileFor(services.folders->cacheFolder(),
                                                                root, services.codePage->name());
    core::RowCache cache(root, services.codePage->name());
    if (!cacheFile.empty()) cache.loadFile(*services.fs, cacheFile);
    const core::Catalog catalog(*services.fs, profile, root, cacheFile.empty() ? nullptr : &cache);
    const Context ctx{services, profile, catalog, json, out, err, questions, {}};
    const int rc = command->run(ctx);
    if (!cacheFile.empty()) static_cast<void>(cache.saveFile(*services.fs, cacheFile));
    return rc;
}

}  // namespace

int runCli(std::span<const std::string> args, platform::Services& services, std::ostream& out,
           std::ostream& err, std::istream* questions) {
    const int rc = parseAndRun(args, services, out, err, questions);
    // Output that did not reach its place is a failure, whatever the verb did.
    if (!out.flush()) {
        out.clear();
        err << kProgram << ": cannot write the output (the disk may be full or the reader gone)\n";
        return kFailure;
    }
    return rc;
}

}  // namespace brim::cli
