#pragma once
// brimmark-cli: one class per verb, each in its own file, all running the
// window's core code over the services set the caller gives.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"
#include "core/Profile.h"
#include "platform/Services.h"

namespace CLI {
class App;
}

namespace brim::cli {

class Command;

enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

struct Context {
    platform::Services& services;
    const core::Profile& profile;
    const core::Catalog& catalog;
    bool json = false;
    std::ostream& out;
    std::ostream& err;
    std::istream* questions = nullptr;  // where answers come from; null: no one to ask
    // The names the walks showed decoded, for warnShownNames.
    mutable core::ShownNameCount shownNames{};

    platform::FileSystem& fs() const { return *services.fs; }
    // "brimmark-cli: MESSAGE" on stderr, control characters shown visibly;
    // returns kFailure.
    int fail(std::string_view message) const;
    // A usage error of `verb`, with its synopsis; returns kUsage.
    int usage(std::string_view message, const Command& verb) const;
    // Asks `question` on the terminal; true only for "y" or "yes". False at
    // once when there is no one to ask.
    bool confirm(std::string_view question) const;
    // Reports on stderr what a walk skipped; the root itself is left to
    // favoritesUnreadable(). Names shown decoded are noted in shownNames.
    core::ProblemSink problemReporter() const;
    // Warns on stderr of the names shown decoded among the files and folders
    // of `paths`, and tells how to fix them.
    void warnShownNames(const std::vector<std::string>& paths) const;
    // The failure of a walk whose Favorites folder cannot be read.
    int favoritesUnreadable() const;
    // Prints the favorites rows that `walk` feeds in, as list, search and
    // same do; `walk` is false when the Favorites folder cannot be read.
    int printFavorites(const std::function<bool(const core::RowSink&)>& walk) const;
};

constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

// What a verb declares of its part of the command line. The parser stays
// behind this, so that the verbs compile without it.
class VerbOptions {
  public:
    explicit VerbOptions(CLI::App& app) : app_(app) {}
    // A flag such as "--yes".
    void flag(const std::string& name, bool& value, const std::string& help);
    // An option with a value, as "--name VALUE" or "--name=VALUE".
    void option(const std::string& name, std::string& value, const std::string& help);
    // The same, left nullopt when the option is not given.
    void option(const std::string& name, std::optional<std::string>& value,
                const std::string& help);
    // Two flags of which at most one may be given.
    void eitherFlag(const std::string& first, bool& firstValue, const std::string& firstHelp,
                    const std::string& second, bool& secondValue, const std::string& secondHelp);
    // Plain arguments called `label`, collected into `values`; their number is
    // checked once the words after "--" have joined them.
    void operands(const std::string& label, std::vector<std::string>& values,
                  const std::string& help);

  private:
    CLI::App& app_;
};

class Command {
  public:
    virtual ~Command() = default;
    virtual std::string_view name() const = 0;
    virtual std::string_view synopsis() const = 0;  // the arguments after the verb
    virtual std::string_view summary() const = 0;
    // Declares the verb's options.
    virtual void define(VerbOptions& options) = 0;
    virtual int run(const Context& ctx) = 0;

    // The verb's plain arguments: those the parser found, then those after
    // "--"; runCli checks that there are between min and max of them.
    std::vector<std::string> operands;
    std::size_t minOperands = 0;
    std::size_t maxOperands = 0;

  protected:
    // Lets the verb take between `min` and `max` plain arguments.
    void takeOperands(VerbOptions& options, const std::string& label, std::size_t min,
                      std::size_t max) {
        minOperands = min;
        maxOperands = max;
        options.operands(label, operands, label);
    }
};

std::vector<std::unique_ptr<Command>> allCommands();

// Each verb's factory, defined beside the verb.
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeFoldersCommand();
std::unique_ptr<Command> makeShowCommand();
std::unique_ptr<Command> makeSearchCommand();
std::unique_ptr<Command> makeSameCommand();
std::unique_ptr<Command> makeDuplicatesCommand();
std::unique_ptr<Command> makePagesCommand();
std::unique_ptr<Command> makeOpenCommand();
std::unique_ptr<Command> makeSaveCommand();
std::unique_ptr<Command> makeDeleteCommand();
std::unique_ptr<Command> makePruneCommand();
std::unique_ptr<Command> makeExportCommand();
std::unique_ptr<Command> makeImportCommand();
std::unique_ptr<Command> makeFixNamesCommand();
std::unique_ptr<Command> makeCheckCommand();

// `path` made absolute against the working folder; an absolute one is kept.
std::string absoluteFromWorkingFolder(const std::string& path);

// Runs the command line `args` (without the program name) over `services`.
// Questions are answered from `questions` (a terminal), or not asked when null.
int runCli(std::span<const std::string> args, platform::Services& services, std::ostream& out,
           std::ostream& err, std::istream* questions = nullptr);

}  // namespace brim::cli
