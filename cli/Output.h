#pragma once
// Output of the verbs: one JSON document with --json, a readable table otherwise.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"

namespace brim::cli {

// `s` as a JSON string literal, quotes included.
std::string jsonString(std::string_view s);

// Columns the terminal gives `s`: two for wide East Asian characters.
std::size_t displayWidth(std::string_view s);

// Rows of text cells as an aligned table under `headers`; control characters
// are shown as "?" so that a name cannot break the layout.
void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows);

// A list of texts: a JSON array of strings, or a one-column table under
// `heading`, followed by the count after `countPrefix` when one is given.
void printStrings(std::ostream& out, bool json, const std::string& heading,
                  const std::vector<std::string>& items, std::string_view countPrefix = {});

// Prints favorites rows as `list`, `search` and `same` do. JSON rows go out as
// they come, so memory stays flat on any tree; the table waits for every row
// to align its columns.
class FavoritesPrinter {
  public:
    FavoritesPrinter(std::ostream& out, bool json);
    void add(core::FavoriteItem&& row);
    void finish();

  private:
    std::ostream& out_;
    bool json_;
    std::int64_t count_ = 0;
    std::vector<std::vector<std::string>> cells_;
};

}  // namespace brim::cli
