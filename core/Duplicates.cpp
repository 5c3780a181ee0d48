#include "core/Duplicates.h"

#include <curl/curl.h>
#include <idn2.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>

namespace brim::core {
namespace {

struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using Url = std::unique_ptr<CURLU, UrlCleanup>;

// Any scheme with an authority; blanks are taken here and encoded below.
constexpr unsigned kParseFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;

// `text` parsed as an absolute address, or null.
Url parsed(const std::string& text, unsigned flags) {
    Url url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), flags) != CURLUE_OK) {
        return nullptr;
    }
    return url;
}

// The part as the library holds it, or nullopt when there is none.
std::optional<std::string> partOf(CURLU* url, CURLUPart what, unsigned flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, what, &text, flags) != CURLUE_OK) return std::nullopt;
    std::string s(text);
    curl_free(text);
    return s;
}

bool setPart(CURLU* url, CURLUPart what, const std::string* value) {
    return curl_url_set(url, what, value ? value->c_str() : nullptr, 0) == CURLUE_OK;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = asciiUpper(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// The host in lower case, an international one in its ASCII form; nullopt
// when it is no valid name.
std::optional<std::string> asciiHost(std::string host) {
    // The library leaves a "%" it could not decode; no name holds one.
    if (host.find('%') != std::string::npos) return std::nullopt;
    if (isAscii(host)) {
        std::transform(host.begin(), host.end(), host.begin(), asciiLower);
        return host;
    }
    char* ascii = nullptr;
    if (idn2_lookup_u8(reinterpret_cast<const uint8_t*>(host.c_str()),
                       reinterpret_cast<uint8_t**>(&ascii),
                       IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT) != IDN2_OK) {
        return std::nullopt;
    }
    std::string s(ascii);
    idn2_free(ascii);
    return s;
}

// `s` with percent-encodings of unreserved characters decoded and the others
// in upper case, and what a URI cannot hold (blanks, controls, non-ASCII
// bytes) encoded, as a browser sends it. A "%" without two hex digits stays.
std::string normalisedEncoding(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            const auto decoded =
                static_cast<unsigned char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            if (isUnreserved(decoded)) {
                out += static_cast<char>(decoded);
            } else {
                out += {'%', asciiUpper(s[i + 1]), asciiUpper(s[i + 2])};
            }
            i += 2;
        } else if (c <= 0x20 || c >= 0x7F) {
            out += {'%', kHex[c >> 4], kHex[c & 0xF]};
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The query without its tracking parameters; every other parameter, empty
// ones included, keeps its place.
std::string withoutTracking(std::string_view query) {
    std::string out;
    bool first = true;
    for (std::size_t start = 0; start <= query.size();) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view parameter = query.substr(start, end - start);
        if (!IsTrackingParameter(parameter.substr(0, parameter.find('=')))) {
            if (!first) out += '&';
            out += parameter;
            first = false;
        }
        start = end + 1;
    }
    return out;
}

std::optional<std::string> normalisedAddress(const std::string& text) {
    // Dot segments are removed only once the decoding below has made every
    // one of them ("%2E%2E" is ".."), as the normalisation's order wants.
    const Url url = parsed(text, kParseFlags | CURLU_PATH_AS_IS);
    if (!url) return std::nullopt;
    // What a file address names depends on the system's file system (case,
    // drive letters), and the library takes drive letters on Windows only.
    if (partOf(url.get(), CURLUPART_SCHEME) == "file") return std::nullopt;
    const auto host = partOf(url.get(), CURLUPART_HOST);
    const auto ascii = host ? asciiHost(*host) : std::nullopt;
    if (!ascii || !setPart(url.get(), CURLUPART_HOST, &*ascii) ||
        !setPart(url.get(), CURLUPART_FRAGMENT, nullptr)) {
        return std::nullopt;
    }
    // Path and query are rewritten in the address's text: the library would
    // put the encodings of a part it is given in lower case.
    const auto whole = partOf(url.get(), CURLUPART_URL);
    const auto path = partOf(url.get(), CURLUPART_PATH);
    const std::string query = partOf(url.get(), CURLUPART_QUERY).value_or("");
    if (!whole || !path) return std::nullopt;
    const std::string tail = *path + (query.empty() ? "" : "?" + query);
    if (!whole->ends_with(tail)) return std::nullopt;
    const std::string kept = withoutTracking(normalisedEncoding(query));
    const Url again = parsed(whole->substr(0, whole->size() - tail.size()) +
                                 normalisedEncoding(*path) + (kept.empty() ? "" : "?" + kept),
                             CURLU_NON_SUPPORT_SCHEME);
    if (!again) return std::nullopt;
    return partOf(again.get(), CURLUPART_URL, CURLU_NO_DEFAULT_PORT);
}

}  // namespace

bool IsTrackingParameter(std::string_view name) {
    return name.starts_with(kTrackingPrefix) ||
           std::find(kTrackingParameters.begin(), kTrackingParameters.end(), name) !=
               kTrackingParameters.end();
}

std::string DuplicateKey(std::string_view url) {
    if (url.empty()) return {};
    const std::string text(url);
    return normalisedAddress(text).value_or(text);
}

std::vector<DuplicateGroup> GroupDuplicates(std::vector<FavoriteItem> rows) {
    std::vector<DuplicateGroup> groups;
    std::unordered_map<std::string, std::size_t> byKey;
    for (auto& row : rows) {
        std::string key = DuplicateKey(row.url);
        if (key.empty()) continue;
        const auto [at, added] = byKey.try_emplace(key, groups.size());
        if (added) groups.push_back({std::move(key), {}});
        groups[at->second].favorites.push_back(std::move(row));
    }
    std::erase_if(groups, [](const DuplicateGroup& g) { return g.favorites.size() < 2; });
    return groups;
}

}  // namespace brim::core
