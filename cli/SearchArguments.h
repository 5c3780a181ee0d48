#pragma once
// The search options that `search` and `export` share. Options not given on
// the command line come from the saved search options, as in the window.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Command.h"
#include "core/Search.h"

namespace brim::cli {

// The fields a "--fields" list names (folder, name, url, comment), or nullopt
// when it names another or none.
std::optional<core::SearchFields> parseFields(std::string_view list);

class SearchArguments {
  public:
    void define(VerbOptions& verb);
    // False, with the reason, when an option's value is not usable.
    bool check(std::string& error) const;
    // The saved options with the command line's laid over them.
    core::SearchOptions options(const core::Profile& profile) const;
    // Every favorite for an empty text (the words joined by blanks), else the
    // search's matches. False when the Favorites folder cannot be read.
    bool run(const Context& ctx, const std::vector<std::string>& words,
             const core::RowSink& add) const;

  private:
    bool all_ = false, any_ = false;
    bool ignoreCase_ = false, caseSensitive_ = false;
    std::optional<std::string> fields_;
};

}  // namespace brim::cli
