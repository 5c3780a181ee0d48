#pragma once
// The keyword box's drop-down list: the fixed keywords on top, then the
// history of searched keywords, oldest first; at most kMaxKeywords entries.

#include <cstddef>
#include <string>
#include <vector>

#include "core/Profile.h"

namespace brim::core {

inline constexpr std::size_t kMaxKeywords = 15;

using KeywordList = std::vector<std::string>;

// The list with `fixed` laid over its first positions, cut to kMaxKeywords.
KeywordList RebuildKeywordList(const KeywordList& list, const KeywordList& fixed);

// Adds the searched text `k` to the history of `list` (whose first
// `fixedCount` entries are fixed) unless it is there already; the oldest
// history entry goes when the list grows too long. A text that is a folder
// label (ending in "\" once closing quotes and blanks are dropped) is never
// recorded: then nothing changes and false is returned.
bool RecordKeyword(KeywordList& list, std::size_t fixedCount, const std::string& k);

// Registers `k` as a fixed keyword: appended to `fixed` and moved to the
// fixed block of `list`, keeping the newest history that still fits. False
// (nothing changed) when `k` is empty or registered already.
bool RegisterFixedKeyword(KeywordList& list, KeywordList& fixed, const std::string& k);

// Removes every entry equal to `k` from both lists; a fixed keyword that
// stood past the list's capacity takes the freed place.
void DeleteFixedKeyword(KeywordList& list, KeywordList& fixed, const std::string& k);

// Keys W0…W14 ('W', the list) or D0…D14 ('D', the fixed keywords) of section
// "KeyWords": the non-empty values in order.
KeywordList ReadKeywordKeys(const Profile& profile, char letter);
// Writes all fifteen keys, empty past the list's end and where the settings
// file cannot hold an entry; the first failure is returned.
WriteStatus WriteKeywordKeys(const Profile& profile, char letter, const KeywordList& list);

}  // namespace brim::core
