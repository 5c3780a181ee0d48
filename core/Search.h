#pragma once
// The keyword search: splitting the typed text, the match text of a file, the
// substring test, and the walk that yields the matching favorites.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"
#include "platform/CaseMapper.h"

namespace brim::core {

// Keywords a search uses at most; the rest of a longer text is left out.
inline constexpr std::size_t kMaxSearchKeys = 30;

// Splits at blanks (U+0020 only). A double quote where a keyword starts opens
// a phrase that runs to the next double quote (or to the end); "" is skipped.
std::vector<std::string> SplitKeywords(std::string_view text);

// `s` in upper case by the platform's mapping, character by character.
std::string UpperCase(std::string_view s, const platform::CaseMapper& mapper);
// The same into `out`, whose capacity a walk reuses from file to file.
void UpperCaseInto(std::string_view s, const platform::CaseMapper& mapper, std::string& out);

// True when `keyword` occurs in `text`; an empty keyword occurs in every
// non-empty text. Both are upper-cased first when `foldCase`.
bool ContainsKeyword(std::string_view text, std::string_view keyword, bool foldCase,
                     const platform::CaseMapper& mapper);

// The fields of a favorite a search looks at, each a check-box value: a field
// takes part only when its value is exactly 1 (2, grayed, counts as off).
struct SearchFields {
    int folder = 1;
    int name = 1;
    int address = 1;
    int comment = 1;
};

struct SearchOptions {
    SearchFields fields;
    bool foldCase = true;    // "大文字と小文字を区別しない"
    bool anyKeyword = true;  // OR; AND (every keyword) when false
};

// The options as the options dialog holds and stores them (section
// "SerchCond"): check boxes Check1 (fold case) … Check5 (comment) as values
// 0, 1 or 2, and whether "OR検索" is chosen. The defaults are the form's starting values.
struct StoredSearchOptions {
    std::array<int, 5> checks{1, 1, 1, 1, 1};
    bool option1 = true;
    SearchOptions options() const;
};

// The stored options laid over `current`; keys missing or not valid leave
// the value of `current`.
StoredSearchOptions LoadSearchOptions(const Profile& profile, StoredSearchOptions current = {});
// Writes check1 … check5, then option1; the first failure is returned.
WriteStatus SaveSearchOptions(const Profile& profile, const StoredSearchOptions& stored);

class Search {
  public:
    Search(const Catalog& catalog, const platform::CaseMapper& mapper)
        : catalog_(catalog), mapper_(mapper) {}

    // Adds every favorite below `folder` whose match text holds the keywords
    // as the options say, in the walk's order, reading each file at most once.
    // No keywords find nothing. False when `folder` cannot be listed.
    // `add` and `problem` are called on the calling thread.
    bool SearchDir(const std::string& folder, const std::vector<std::string>& keywords,
                   const SearchOptions& options, const RowSink& add,
                   const ProblemSink& problem = {}, const WalkControl& control = {}) const;

    // The favorites whose address contains `url`, taken whole.
    bool Same(const std::string& url, const SearchOptions& options, const RowSink& add,
              const ProblemSink& problem = {}, const WalkControl& control = {}) const;

  private:
    const Catalog& catalog_;
    const platform::CaseMapper& mapper_;
};

}  // namespace brim::core
