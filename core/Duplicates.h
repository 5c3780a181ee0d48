#pragma once
// Favorites that lead to the same page: each address is reduced to a key by
// RFC 3986's syntax- and scheme-based normalisation, with the host in its
// ASCII (IDNA) form and without the fragment or tracking parameters, and the
// favorites that share a key are grouped.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"

namespace brim::core {

// Query parameters that only tell a site where a visitor came from, removed
// from the key: these names exactly, and every name starting with "utm_".
inline constexpr std::array<std::string_view, 7> kTrackingParameters = {
    "fbclid", "gclid", "dclid", "mc_eid", "mc_cid", "igshid", "yclid"};
inline constexpr std::string_view kTrackingPrefix = "utm_";

// True when the query parameter called `name` (as written, after the
// decoding of unreserved characters) is a tracking parameter.
bool IsTrackingParameter(std::string_view name);

// The key under which `url` is compared. For an address with an authority
// ("scheme://host…"): the scheme and host in lower case, an international
// host in its ASCII form, the default port dropped, an empty path as "/",
// percent-encodings of unreserved characters decoded and every other one in
// upper case, characters that must be encoded (non-ASCII, blanks, controls)
// percent-encoded as UTF-8, dot segments removed, the fragment and the
// tracking parameters dropped; an empty query counts as none. Path case,
// a trailing slash and the other parameters, their values and order, stay.
// An address the parser does not take that way (mailto:, javascript:,
// file:, a malformed one) is its own key, as written; an empty one has none
// (the empty string).
std::string DuplicateKey(std::string_view url);

struct DuplicateGroup {
    std::string address;                  // the key they share
    std::vector<FavoriteItem> favorites;  // two or more, in the walk's order
};

// The groups of two or more of `rows` that share a key, in the order of
// each group's first favorite among `rows`. Rows without an address are in
// no group.
std::vector<DuplicateGroup> GroupDuplicates(std::vector<FavoriteItem> rows);

}  // namespace brim::core
