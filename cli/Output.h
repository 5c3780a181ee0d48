#pragma once
// Output of the verbs: one JSON document with --json, a readable table
// otherwise. Text from a favorite never reaches the terminal raw.

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "core/Catalog.h"

namespace brim::cli {

// `s` as a JSON string literal, quotes included; bytes that are not UTF-8
// become U+FFFD. Besides what JSON must escape, DEL and C1 controls are
// escaped too, so that the document is safe on a terminal as well.
std::string jsonString(std::string_view s);

// nlohmann's text of `value` on one line, with DEL and C1 controls escaped
// as well: what jsonString and jsonObject give, without their shortcut.
std::string jsonText(const nlohmann::ordered_json& value);

// A JSON object of text members in the order given, on one line.
std::string jsonObject(
    std::initializer_list<std::pair<std::string_view, std::string_view>> members);

// Columns the terminal gives `s`: two for wide East Asian characters, none
// for combining marks.
std::size_t displayWidth(std::string_view s);

// Rows of text cells as a table under `headers`, aligned by display width,
// every cell shown through utf8::visible().
void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows);

// A list of texts: a JSON array of strings, or a one-column table under
// `heading`, followed by the count after `countPrefix` when one is given.
void printStrings(std::ostream& out, bool json, const std::string& heading,
                  const std::vector<std::string>& items, std::string_view countPrefix = {});

// Prints favorites rows as `list`, `search` and `same` do. JSON rows go out as
// they come, so memory stays flat on any tree; the table holds the rows, as
// shown, only until its columns are as wide as they can grow.
class FavoritesPrinter {
  public:
    FavoritesPrinter(std::ostream& out, bool json);
    void add(core::FavoriteItem&& row);
    void finish();

  private:
    void hold(const std::vector<std::string>& cells);
    void flushHeld();
    void flushJson();
    static constexpr std::size_t kJsonPiece = 64 * 1024;

    std::ostream& out_;
    bool json_;
    std::int64_t count_ = 0;
    std::vector<std::size_t> widths_;  // of every column but the last
    std::string held_;                 // rows not yet printed: their cells, each ended by NUL
    bool streaming_ = false;           // the widths are final and the rows go out as they come
    std::string jsonPending_;          // JSON rows not yet written
};

}  // namespace brim::cli
