#include "core/LinkCheck.h"

#include <curl/curl.h>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace brim::core {
namespace {

constexpr std::array<std::string_view, kLinkStatusCount> kStatusNames = {
    "ok", "moved", "gone", "error", "unreachable", "timeout", "skipped"};
constexpr int kMaxRedirects = 10;
// Lookups run on threads of their own, this many at once.
constexpr std::size_t kMaxLookups = 8;
// How long the loop sleeps at most between looks at the stop request.
constexpr int kStopLatencyMs = 100;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::optional<std::string> processEnvironment(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
}

// Whether a no_proxy list exempts `host`: "*", or an entry equal to the host
// or a domain above it (a leading "." allowed).
bool exempt(std::string_view list, const std::string& host) {
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find_first_of(", ", at), list.size());
        std::string entry = lower(list.substr(at, end - at));
        at = end + 1;
        if (entry == "*") return true;
        if (!entry.empty() && entry.front() == '.') entry.erase(0, 1);
        if (entry.empty()) continue;
        if (host == entry) return true;
        if (host.size() > entry.size() && host.ends_with(entry) &&
            host[host.size() - entry.size() - 1] == '.')
            return true;
    }
    return false;
}

// The proxy the environment names for a scheme and host, "" when its
// no_proxy exempts the host; nullopt when it names none for the scheme.
std::optional<std::string> environmentChoice(const Environment& env, std::string_view scheme,
                                             std::string_view host) {
    const auto get = [&](const std::string& name) { return env(name).value_or(""); };
    const std::string s = lower(scheme);
    std::string proxy = get(s + "_proxy");
    // As libcurl: HTTP_PROXY may come from a CGI request's "Proxy:" header.
    if (proxy.empty() && s != "http") proxy = get(upper(s) + "_PROXY");
    if (proxy.empty()) proxy = get("all_proxy");
    if (proxy.empty()) proxy = get("ALL_PROXY");
    if (proxy.empty()) return std::nullopt;
    std::string noProxy = get("no_proxy");
    if (noProxy.empty()) noProxy = get("NO_PROXY");
    std::string name = lower(host);
    if (name.size() > 1 && name.front() == '[') name = name.substr(1, name.size() - 2);
    if (exempt(noProxy, name)) return std::string();
    return proxy;
}

// The entries of a list separated by ";", "," or white space.
std::vector<std::string> words(std::string_view list) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find_first_of(";, \t\r\n", at), list.size());
        if (end > at) out.emplace_back(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// Whether `text` matches `pattern`, in which "*" stands for any run.
bool wildcardMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// An address whose host needs no lookup.
bool isLiteral(std::string_view host) {
    return !host.empty() &&
           (host.front() == '[' || host.find_first_not_of("0123456789.") == std::string_view::npos);
}

void initCurl() {
    // Once for the process; on Windows it starts Winsock for the lookups too.
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    static_cast<void>(done);
}

LinkStatus fromCurlError(CURLcode rc) {
    switch (rc) {
        case CURLE_OPERATION_TIMEDOUT:
            return LinkStatus::Timeout;
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return LinkStatus::Gone;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_USE_SSL_FAILED:
            return LinkStatus::Unreachable;
        default:
            return LinkStatus::Error;
    }
}

#ifdef _WIN32
constexpr long kConnectionReset = WSAECONNRESET;
#else
constexpr long kConnectionReset = ECONNRESET;
#endif

// Failures that may pass: a server busy or restarting, a connection reset.
bool transient(CURLcode rc) {
    return rc == CURLE_OPERATION_TIMEDOUT || rc == CURLE_SEND_ERROR || rc == CURLE_RECV_ERROR ||
           rc == CURLE_GOT_NOTHING || rc == CURLE_PARTIAL_FILE || rc == CURLE_HTTP2 ||
           rc == CURLE_HTTP2_STREAM;
}

// One address on its way from its first request to its result.
struct Job {
    std::size_t index = 0;
    std::string url;   // of the next request
    bool get = false;  // HEAD failed: confirming with GET
    int redirects = 0;
    long code = 0;  // the status of the redirect that led to `url`
    std::vector<std::string> visited;
    bool permanent = true;  // every redirect so far was permanent
    std::string movedTo;    // where the leading permanent redirects lead
    bool retried = false;
    // Of `url`:
    std::string scheme, host, hostKey, proxy;
    std::string port;
};

// The jobs waiting for one host (scheme, name and port), and how many of its
// requests run.
struct Host {
    std::deque<Job> jobs;
    int active = 0;
    bool lookup = false;  // the name is looked up here, not by a proxy
};

// Where the lookup threads leave their answers; it outlives the check, since
// a stopped check does not wait for a lookup that hangs.
struct LookupBoard {
    std::mutex mutex;
    CURLM* multi = nullptr;  // woken by each answer; null once the check ended
    std::vector<std::pair<std::string, NameLookup>> answers;
};

struct Transfer {
    Job job;
    CURL* easy = nullptr;
    curl_slist* resolve = nullptr;
    ~Transfer() {
        curl_easy_cleanup(easy);
        curl_slist_free_all(resolve);
    }
};

size_t endBody(char*, size_t, size_t, void*) {
    // The status and headers are all a check needs: the first bytes of a
    // body end the transfer.
    return 0;
}

class Run {
  public:
    Run(const LinkCheckOptions& options, const std::vector<std::string>& urls,
        const LinkFinished& finished, const StopSource* stop)
        : o_(options), urls_(urls), finished_(finished), stop_(stop), results_(urls.size()) {
        progress_.total = urls.size();
        if (!o_.resolve) o_.resolve = systemNameLookup;
        if (!o_.environment) o_.environment = processEnvironment;
        if (o_.systemProxies) system_ = o_.systemProxies();
        o_.perHost = std::max(1, o_.perHost);
        o_.jobs = std::max(1, o_.jobs);
        initCurl();
        multi_ = curl_multi_init();
        curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(o_.perHost));
        curl_multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(o_.jobs));
        curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, static_cast<long>(o_.jobs));
        board_->multi = multi_;
        headers_ = curl_slist_append(
            nullptr, "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    }

    ~Run() {
        for (auto& [easy, transfer] : active_)
            curl_multi_remove_handle(multi_, easy);
        active_.clear();
        {
            const std::lock_guard lock(board_->mutex);
            board_->multi = nullptr;
        }
        curl_multi_cleanup(multi_);
        curl_slist_free_all(headers_);
    }

    std::vector<std::optional<LinkResult>> run() {
        for (std::size_t i = 0; i < urls_.size(); ++i) {
            Job job;
            job.index = i;
            begin(std::move(job));
        }
        while (!(stop_ && stop_->requested())) {
            takeAnswers();
            startReady();
            if (active_.empty() && queued_ == 0 && lookingUp_.empty()) {
                if (later_.empty()) break;
                // Transient failures once more, now that the rest is done.
                auto again = std::move(later_);
                later_.clear();
                for (auto& job : again)
                    begin(std::move(job));
                continue;
            }
            int running = 0;
            curl_multi_perform(multi_, &running);
            bool ended = false;
            int left = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
                if (msg->msg != CURLMSG_DONE) continue;
                done(msg->easy_handle, msg->data.result);
                ended = true;
            }
            // What ended may have let others start or follow a redirect.
            if (!ended) curl_multi_poll(multi_, nullptr, 0, kStopLatencyMs, nullptr);
        }
        return std::move(results_);
    }

  private:
    // Starts `job` from its favorite's own address, with HEAD or with GET.
    void begin(Job job, bool get = false) {
        job.url = urls_[job.index];
        job.get = get;
        job.redirects = 0;
        job.code = 0;
        job.visited = {job.url};
        job.permanent = true;
        job.movedTo.clear();
        enqueue(std::move(job));
    }

    // Puts `job` in its host's queue, or ends it when its address cannot be
    // fetched.
    void enqueue(Job job) {
        const auto colon = job.url.find(':');
        job.scheme = lower(job.url.substr(0, colon));
        if (colon == std::string::npos ||
            (job.scheme != "http" && job.scheme != "https" && job.scheme != "ftp")) {
            // A redirect to such an address is the server's error.
            conclude(job, {job.redirects ? LinkStatus::Error : LinkStatus::Skipped, job.code, {}},
                     false);
            return;
        }
        std::unique_ptr<CURLU, void (*)(CURLU*)> url(curl_url(), curl_url_cleanup);
        char* host = nullptr;
        char* port = nullptr;
        if (curl_url_set(url.get(), CURLUPART_URL, job.url.c_str(), 0) != CURLUE_OK ||
            (curl_url_get(url.get(), CURLUPART_HOST, &host, CURLU_PUNYCODE) != CURLUE_OK &&
             curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) ||
            curl_url_get(url.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) != CURLUE_OK) {
            curl_free(host);
            conclude(job, {LinkStatus::Error, job.code, {}}, false);
            return;
        }
        job.host = lower(host);
        job.port = port;
        curl_free(host);
        curl_free(port);
        // The environment's variables, when set, before the system's settings.
        job.proxy = environmentChoice(o_.environment, job.scheme, job.host)
                        .value_or(systemProxy(system_, job.scheme, job.host));
        job.hostKey = job.scheme + "://" + job.host + ":" + job.port;
        Host& h = hosts_[job.hostKey];
        h.lookup = job.proxy.empty() && !isLiteral(job.host);
        if (h.lookup && !names_.contains(job.host)) lookUp(job.host);
        h.jobs.push_back(std::move(job));
        ++queued_;
    }

    void lookUp(const std::string& name) {
        if (!lookingUp_.insert(name).second) return;
        if (lookupsRunning_ < kMaxLookups) {
            startLookup(name);
        } else {
            waitingLookups_.push_back(name);
        }
    }

    void startLookup(const std::string& name) {
        ++lookupsRunning_;
        std::thread([board = board_, resolve = o_.resolve, name] {
            NameLookup answer = resolve(name);
            const std::lock_guard lock(board->mutex);
            board->answers.emplace_back(name, std::move(answer));
            if (board->multi) curl_multi_wakeup(board->multi);
        }).detach();
    }

    void takeAnswers() {
        std::vector<std::pair<std::string, NameLookup>> answers;
        {
            const std::lock_guard lock(board_->mutex);
            answers.swap(board_->answers);
        }
        for (auto& [name, answer] : answers) {
            names_[name] = std::move(answer);
            lookingUp_.erase(name);
            --lookupsRunning_;
            if (!waitingLookups_.empty()) {
                startLookup(waitingLookups_.front());
                waitingLookups_.pop_front();
            }
        }
    }

    // Starts requests while there is room, each for the host with the most
    // waiting, so that the hosts end together and no room is left idle while
    // the last ones are asked a few at a time.
    void startReady() {
        while (running_ < o_.jobs) {
            Host* best = nullptr;
            const NameLookup* bestName = nullptr;
            for (auto& [key, host] : hosts_) {
                if (host.jobs.empty()) continue;
                const NameLookup* name = nullptr;
                if (host.lookup) {
                    const auto found = names_.find(host.jobs.front().host);
                    if (found == names_.end()) continue;
                    name = &found->second;
                    if (name->answer != NameLookup::Found) {
                        endUnasked(host, name->answer);
                        continue;
                    }
                }
                if (host.active < o_.perHost && (!best || host.jobs.size() > best->jobs.size())) {
                    best = &host;
                    bestName = name;
                }
            }
            if (!best) return;
            Job job = std::move(best->jobs.front());
            best->jobs.pop_front();
            --queued_;
            start(std::move(job), bestName, *best);
        }
    }

    // Ends the jobs of a host whose name gave no address.
    void endUnasked(Host& host, NameLookup::Answer answer) {
        const LinkStatus status =
            answer == NameLookup::NoSuchName ? LinkStatus::Gone : LinkStatus::Unreachable;
        while (!host.jobs.empty()) {
            Job job = std::move(host.jobs.front());
            host.jobs.pop_front();
            --queued_;
            conclude(job, {status, job.code, {}}, false);
        }
    }

    void start(Job job, const NameLookup* name, Host& host) {
        auto t = std::make_unique<Transfer>();
        t->job = std::move(job);
        CURL* e = curl_easy_init();
        t->easy = e;
        const Job& j = t->job;
        curl_easy_setopt(e, CURLOPT_URL, j.url.c_str());
        if (j.get && j.scheme != "ftp") {
            curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        } else {
            curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        }
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, endBody);
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
        curl_easy_setopt(e, CURLOPT_USERAGENT, o_.userAgent.c_str());
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(o_.timeout.count()));
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        // The proxy decided above; "" keeps libcurl from choosing another.
        curl_easy_setopt(e, CURLOPT_PROXY, j.proxy.c_str());
#ifdef _WIN32
        // An unreachable revocation list is no verdict on the page.
        curl_easy_setopt(e, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
        if (name) {
            std::string entry = j.host + ":" + j.port + ":";
            for (std::size_t i = 0; i < name->addresses.size(); ++i)
                entry += (i ? "," : "") + name->addresses[i];
            t->resolve = curl_slist_append(nullptr, entry.c_str());
            curl_easy_setopt(e, CURLOPT_RESOLVE, t->resolve);
        }
        curl_easy_setopt(e, CURLOPT_PRIVATE, t.get());
        curl_multi_add_handle(multi_, e);
        ++host.active;
        ++running_;
        active_.emplace(e, std::move(t));
    }

    void done(CURL* easy, CURLcode rc) {
        const auto it = active_.find(easy);
        if (it == active_.end()) return;
        long code = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
        char* location = nullptr;
        curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
        const std::string next = location ? location : "";
        // A connection reset before the request went out ends as a failed
        // connect; it may pass as any other reset.
        long osError = 0;
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osError);
        const bool reset = rc == CURLE_COULDNT_CONNECT && osError == kConnectionReset;
        curl_multi_remove_handle(multi_, easy);
        Job job = std::move(it->second->job);
        active_.erase(it);
        --hosts_[job.hostKey].active;
        --running_;
        // endBody ends every body it is given.
        if (rc == CURLE_WRITE_ERROR && code > 0) rc = CURLE_OK;
        // An FTP reply's number is no HTTP status.
        if (job.scheme == "ftp") code = 0;
        answered(std::move(job), rc, code, next, reset);
    }

    void answered(Job job, CURLcode rc, long code, const std::string& next, bool reset) {
        const bool http = job.scheme != "ftp";
        const bool failed = rc != CURLE_OK || (http && (code < 200 || code >= 300) &&
                                               !(code >= 300 && code < 400 && !next.empty()));
        // Some servers refuse HEAD, answer it otherwise than GET, or drop it.
        if (failed && http && !job.get &&
            (rc == CURLE_OK || rc == CURLE_GOT_NOTHING || rc == CURLE_RECV_ERROR ||
             rc == CURLE_WEIRD_SERVER_REPLY)) {
            begin(std::move(job), true);
            return;
        }
        if (rc != CURLE_OK) {
            conclude(job, {fromCurlError(rc), code, {}}, transient(rc) || reset);
            return;
        }
        if (http && code >= 300 && code < 400 && !next.empty()) {
            const bool loop =
                std::find(job.visited.begin(), job.visited.end(), next) != job.visited.end();
            if (loop || job.redirects == kMaxRedirects) {
                conclude(job, {LinkStatus::Error, code, {}}, false);
                return;
            }
            if (code != 301 && code != 308) {
                job.permanent = false;
            } else if (job.permanent) {
                job.movedTo = next;
            }
            ++job.redirects;
            job.code = code;
            job.visited.push_back(next);
            job.url = next;
            enqueue(std::move(job));
            return;
        }
        LinkResult r{LinkStatus::Error, code, {}};
        if (!http || (code >= 200 && code < 300)) {
            r.status = job.movedTo.empty() ? LinkStatus::Ok : LinkStatus::Moved;
            r.location = job.movedTo;
        } else if (code == 404 || code == 410) {
            r.status = LinkStatus::Gone;
        }
        conclude(job, r, code == 429 || code == 503);
    }

    void conclude(Job& job, LinkResult result, bool mayPass) {
        if (mayPass && !job.retried) {
            job.retried = true;
            later_.push_back(std::move(job));
            return;
        }
        ++progress_.done;
        ++progress_.counts[static_cast<std::size_t>(result.status)];
        results_[job.index] = std::move(result);
        if (finished_) finished_(job.index, *results_[job.index], progress_);
    }

    LinkCheckOptions o_;
    platform::SystemProxy system_;
    const std::vector<std::string>& urls_;
    const LinkFinished& finished_;
    const StopSource* stop_;
    std::vector<std::optional<LinkResult>> results_;
    LinkProgress progress_;

    CURLM* multi_ = nullptr;
    curl_slist* headers_ = nullptr;
    std::shared_ptr<LookupBoard> board_ = std::make_shared<LookupBoard>();
    std::map<std::string, Host> hosts_;
    std::size_t queued_ = 0;
    int running_ = 0;
    std::map<CURL*, std::unique_ptr<Transfer>> active_;
    std::map<std::string, NameLookup> names_;
    std::set<std::string> lookingUp_;
    std::deque<std::string> waitingLookups_;
    std::size_t lookupsRunning_ = 0;
    std::vector<Job> later_;
};

}  // namespace

std::string_view linkStatusName(LinkStatus status) {
    return kStatusNames[static_cast<std::size_t>(status)];
}

std::optional<LinkStatus> linkStatusFromName(std::string_view name) {
    for (std::size_t i = 0; i < kStatusNames.size(); ++i)
        if (kStatusNames[i] == name) return static_cast<LinkStatus>(i);
    return std::nullopt;
}

NameLookup systemNameLookup(const std::string& host) {
    initCurl();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &list);
    NameLookup out;
    if (rc != 0) {
        bool missing = rc == EAI_NONAME;
#if defined(EAI_NODATA) && EAI_NODATA != EAI_NONAME
        missing = missing || rc == EAI_NODATA;
#endif
        out.answer = missing ? NameLookup::NoSuchName : NameLookup::Failed;
        return out;
    }
    for (const addrinfo* a = list; a; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (getnameinfo(a->ai_addr, static_cast<socklen_t>(a->ai_addrlen), text, sizeof text,
                        nullptr, 0, NI_NUMERICHOST) != 0)
            continue;
        std::string address = a->ai_family == AF_INET6 ? "[" + std::string(text) + "]" : text;
        if (std::find(out.addresses.begin(), out.addresses.end(), address) == out.addresses.end())
            out.addresses.push_back(std::move(address));
    }
    freeaddrinfo(list);
    out.answer = out.addresses.empty() ? NameLookup::Failed : NameLookup::Found;
    return out;
}

std::string environmentProxy(const Environment& env, std::string_view scheme,
                             std::string_view host) {
    return environmentChoice(env, scheme, host).value_or("");
}

std::string systemProxy(const platform::SystemProxy& settings, std::string_view scheme,
                        std::string_view host) {
    std::string name = lower(host);
    if (name.size() > 1 && name.front() == '[') name = name.substr(1, name.size() - 2);
    const std::string s = lower(scheme);
    std::string own, every, socks;
    for (const std::string& entry : words(settings.servers)) {
        const auto eq = entry.find('=');
        const auto colon = entry.find("://");
        if (eq == std::string::npos || (colon != std::string::npos && colon < eq)) {
            if (every.empty()) every = entry;
            continue;
        }
        const std::string key = lower(entry.substr(0, eq));
        const std::string value = entry.substr(eq + 1);
        if (value.empty()) continue;
        if (key == s && own.empty()) own = value;
        if (key == "socks" && socks.empty())
            socks = value.find("://") == std::string::npos ? "socks4://" + value : value;
    }
    std::string proxy = !own.empty() ? own : !every.empty() ? every : socks;
    if (proxy.empty()) return {};
    bool loopback = true;
    for (std::string entry : words(settings.bypass)) {
        entry = lower(entry);
        if (entry == "<-loopback>") {
            loopback = false;
            continue;
        }
        if (entry == "<local>") {
            if (name.find('.') == std::string::npos && name.find(':') == std::string::npos)
                return {};
            continue;
        }
        if (const auto at = entry.find("://"); at != std::string::npos) {
            if (entry.substr(0, at) != s) continue;
            entry.erase(0, at + 3);
        }
        // A port after the host; an IPv6 address's colons are not one.
        if (const auto at = entry.rfind(':');
            at != std::string::npos && entry.find(':') == at &&
            entry.find_first_not_of("0123456789", at + 1) == std::string::npos)
            entry.erase(at);
        if (entry.size() > 1 && entry.front() == '[' && entry.back() == ']')
            entry = entry.substr(1, entry.size() - 2);
        if (!entry.empty() && wildcardMatch(entry, name)) return {};
    }
    if (loopback && (name == "localhost" || name.ends_with(".localhost") || name == "::1" ||
                     (name.starts_with("127.") && isLiteral(name))))
        return {};
    return proxy;
}

LinkChecker::LinkChecker(LinkCheckOptions options) : options_(std::move(options)) {}

std::vector<std::optional<LinkResult>> LinkChecker::check(const std::vector<std::string>& urls,
                                                          const LinkFinished& finished,
                                                          const StopSource* stop) const {
    Run run(options_, urls, finished, stop);
    return run.run();
}

}  // namespace brim::core
