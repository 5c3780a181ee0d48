#include "core/Opening.h"

namespace brim::core {
namespace {

bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeChar(char c) {
    return isAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool isOneOf(std::string_view scheme, std::initializer_list<std::string_view> schemes) {
    for (const auto s : schemes) {
        if (scheme == s) return true;
    }
    return false;
}

}  // namespace

std::string UrlScheme(std::string_view url) {
    // Browsers drop C0 controls and blanks at both ends, then tab, LF and CR
    // anywhere, before they look for the scheme.
    while (!url.empty() && static_cast<unsigned char>(url.front()) <= 0x20)
        url.remove_prefix(1);
    std::string scheme;
    for (const char c : url) {
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (c == ':') return scheme;
        if (scheme.empty() ? !isAsciiAlpha(c) : !isSchemeChar(c)) return {};
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return {};
}

bool OpensWithoutAsking(std::string_view url) {
    return isOneOf(UrlScheme(url), {"http", "https", "ftp", "mailto"});
}

bool IsLinkableAddress(std::string_view url) {
    return isOneOf(UrlScheme(url), {"http", "https", "ftp", "mailto", "file"});
}

}  // namespace brim::core
