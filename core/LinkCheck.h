#pragma once
// Whether favorites' addresses still lead somewhere: many at once, a few per
// host, through libcurl's multi interface on the calling thread.

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Stop.h"
#include "platform/SystemProxy.h"

namespace brim::core {

// What became of one address; the words are linkStatusName's.
enum class LinkStatus {
    Ok,           // 2xx, also after temporary redirects
    Moved,        // a permanent redirect (301, 308) to a working page
    Gone,         // 404 or 410 at the end, or a host name that does not exist
    Error,        // other 4xx and 5xx (401, 403, 429 too), loops, too many redirects
    Unreachable,  // refused, reset, TLS failure, other name-lookup failures
    Timeout,      // no answer within the time allowed
    Skipped,      // not http, https or ftp: never opened
};
inline constexpr std::size_t kLinkStatusCount = 7;

// "ok", "moved", "gone", "error", "unreachable", "timeout", "skipped".
std::string_view linkStatusName(LinkStatus status);
std::optional<LinkStatus> linkStatusFromName(std::string_view name);

struct LinkResult {
    LinkStatus status = LinkStatus::Skipped;
    long code = 0;         // the last HTTP status, 0 when none came
    std::string location;  // for Moved: where the permanent redirects lead
    bool operator==(const LinkResult&) const = default;
};

// A host name's lookup, which tells a name that does not exist from a
// lookup that failed.
struct NameLookup {
    enum Answer { Found, NoSuchName, Failed } answer = Failed;
    std::vector<std::string> addresses;  // numeric, when Found
};
// Looks up an ASCII host name; may block, and runs off the check's thread.
using NameResolver = std::function<NameLookup(const std::string& host)>;
// The system's resolver (getaddrinfo).
NameLookup systemNameLookup(const std::string& host);

// An environment variable, nullopt when unset.
using Environment = std::function<std::optional<std::string>(const std::string& name)>;
// The proxy the environment names for a scheme and host, by libcurl's rules
// (http_proxy, https_proxy, ftp_proxy, all_proxy, no_proxy); empty for none.
std::string environmentProxy(const Environment& env, std::string_view scheme,
                             std::string_view host);

// The proxy the system's settings name for a scheme and host; empty for
// direct. A scheme's own entry comes first, then one for every scheme, then
// "socks=". The bypass list's "<local>" is a host without a dot, "*" matches
// any run of characters, case aside, and its ports are not compared; this
// machine's own names go direct unless "<-loopback>" is listed.
std::string systemProxy(const platform::SystemProxy& settings, std::string_view scheme,
                        std::string_view host);

// Firefox ESR's own, so that sites answer as they would a browser.
#ifdef _WIN32
inline constexpr std::string_view kLinkCheckUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:115.0) Gecko/20100101 Firefox/115.0";
#else
inline constexpr std::string_view kLinkCheckUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64; rv:115.0) Gecko/20100101 Firefox/115.0";
#endif

struct LinkCheckOptions {
    int perHost = 2;                           // connections to one host (name and port) at once
    int jobs = 16;                             // connections in all
    std::chrono::milliseconds timeout{20000};  // for each request
    std::string userAgent{kLinkCheckUserAgent};
    NameResolver resolve;     // systemNameLookup when empty
    Environment environment;  // the process's when empty; for the proxies
    // The system's proxies, read once per check, for the schemes whose proxy
    // the environment leaves unnamed; none when empty.
    std::function<platform::SystemProxy()> systemProxies;
};

struct LinkProgress {
    std::size_t done = 0;  // addresses with their final result
    std::size_t total = 0;
    std::array<std::size_t, kLinkStatusCount> counts{};  // by LinkStatus
};

// Called on the checking thread as each address gets its final result.
using LinkFinished =
    std::function<void(std::size_t index, const LinkResult& result, const LinkProgress& progress)>;

class LinkChecker {
  public:
    explicit LinkChecker(LinkCheckOptions options = {});

    // Checks every address of `urls`: HEAD first, a failure confirmed with
    // GET; redirects followed one by one (10 at most); timeouts, 429, 503 and
    // resets tried once more after all the others. The result of urls[i] is
    // at [i]; nullopt for those left when `stop` was requested, which ends
    // the check within a fraction of a second.
    std::vector<std::optional<LinkResult>> check(const std::vector<std::string>& urls,
                                                 const LinkFinished& finished = {},
                                                 const StopSource* stop = nullptr) const;

  private:
    LinkCheckOptions options_;
};

}  // namespace brim::core
