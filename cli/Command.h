#pragma once
// brimmark-cli: one class per verb, all running the window's core code.

#include <functional>
#include <iosfwd>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"
#include "core/Profile.h"
#include "core/Search.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace brim::cli {

class Command;

enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

struct Context {
    platform::FileSystem& fs;
    const platform::CodePage& codePage;
    const platform::KnownFolders& folders;
    const core::Profile& profile;
    const core::Catalog& catalog;
    bool json = false;
    std::ostream& out;
    std::ostream& err;
    std::istream* questions = nullptr;  // where answers come from; null: no one to ask

    // "brimmark-cli: MESSAGE" on stderr; returns kFailure.
    int fail(std::string_view message) const;
    // A usage error of `verb`, with its synopsis; returns kUsage.
    int usage(std::string_view message, const Command& verb) const;
    // Reports on stderr what a walk skipped; the root itself is left to
    // favoritesUnreadable().
    core::ProblemSink problemReporter() const;
    // The failure of a walk whose Favorites folder cannot be read.
    int favoritesUnreadable() const;
    // Prints the favorites rows that `walk` feeds in, as list, search and
    // same do; `walk` is false when the Favorites folder cannot be read.
    int printFavorites(const std::function<bool(const core::RowSink&)>& walk) const;
};

class Command {
  public:
    virtual ~Command() = default;
    virtual std::string_view name() const = 0;
    virtual std::string_view synopsis() const = 0;  // the arguments after the verb
    virtual std::string_view summary() const = 0;
    virtual int run(const Context& ctx, std::span<const std::string> args) const = 0;
};

std::vector<std::unique_ptr<Command>> allCommands();

// Each verb's factory, defined beside the verb.
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeFoldersCommand();
std::unique_ptr<Command> makeShowCommand();
std::unique_ptr<Command> makeSearchCommand();
std::unique_ptr<Command> makeSameCommand();
std::unique_ptr<Command> makePagesCommand();
std::unique_ptr<Command> makeOpenCommand();
std::unique_ptr<Command> makeSaveCommand();
std::unique_ptr<Command> makeDeleteCommand();
std::unique_ptr<Command> makePruneCommand();
std::unique_ptr<Command> makeExportCommand();

// The working folder, ending in "/".
std::string currentFolder();

// A search as the verbs that take search options give it: the saved options
// with the command line's laid over them, and the keyword text (the words
// left, joined by blanks). Options a verb may take besides are left in
// `unknownOptions`.
struct SearchRequest {
    core::SearchOptions options;
    std::string text;
    std::vector<std::string> unknownOptions;
};
std::optional<SearchRequest> parseSearchRequest(const Context& ctx,
                                                std::span<const std::string> args,
                                                std::string& error);
// Every favorite for an empty text, else the search's matches. False when the
// Favorites folder cannot be read.
bool runSearchRequest(const Context& ctx, const SearchRequest& request, const core::RowSink& add);

// Runs the command line `args` (without the program name). Special folders
// come from `folders`, or from the process environment when null; questions
// are answered from `questions` (a terminal), or not asked when null.
int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const platform::KnownFolders* folders = nullptr, std::istream* questions = nullptr);

}  // namespace brim::cli
