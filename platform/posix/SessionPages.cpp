#include "platform/posix/SessionPages.h"

#include <dirent.h>
#include <lz4.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "platform/posix/PosixFileSystem.h"
#include "text/Utf8.h"

namespace brim::platform {
namespace {

constexpr std::string_view kFirefox = "Mozilla Firefox";
// A session store larger than this is taken as damaged rather than unpacked.
constexpr std::uint32_t kMaxSessionBytes = 256u << 20;

std::uint32_t le32(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;  // the formats are little-endian, as every machine this runs on
}

std::int32_t int32At(const char* p) {
    return static_cast<std::int32_t>(le32(p));
}

// Reads the fields of a Chromium pickle: 32-bit values and strings, each
// padded to four bytes.
class PickleReader {
  public:
    explicit PickleReader(std::string_view payload) : data_(payload) {
        // The pickle starts with the size of what follows.
        std::uint32_t size = 0;
        ok_ = readRaw(size) && size <= data_.size() - pos_;
    }
    bool readInt(std::int32_t& v) {
        std::uint32_t u = 0;
        if (!readRaw(u)) return false;
        v = static_cast<std::int32_t>(u);
        return true;
    }
    bool readString(std::string& s) {
        std::int32_t n = 0;
        if (!readInt(n) || n < 0 || static_cast<std::size_t>(n) > data_.size() - pos_)
            return fail();
        s.assign(data_.substr(pos_, static_cast<std::size_t>(n)));
        return skip(static_cast<std::size_t>(n));
    }
    bool readString16(std::string& s) {
        std::int32_t n = 0;
        if (!readInt(n) || n < 0 || static_cast<std::size_t>(n) * 2 > data_.size() - pos_) {
            return fail();
        }
        s.clear();
        const char* p = data_.data() + pos_;
        for (std::int32_t i = 0; i < n; ++i) {
            char32_t c = static_cast<unsigned char>(p[2 * i]) |
                         (static_cast<unsigned char>(p[2 * i + 1]) << 8);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < n) {
                const char32_t low = static_cast<unsigned char>(p[2 * i + 2]) |
                                     (static_cast<unsigned char>(p[2 * i + 3]) << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // a lone surrogate
            utf8::append(s, c);
        }
        return skip(static_cast<std::size_t>(n) * 2);
    }
    bool ok() const { return ok_; }

  private:
    bool readRaw(std::uint32_t& v) {
        if (!ok_ || data_.size() - pos_ < 4) return fail();
        v = le32(data_.data() + pos_);
        pos_ += 4;
        return true;
    }
    bool skip(std::size_t n) {
        pos_ += (n + 3) & ~std::size_t{3};
        if (pos_ > data_.size()) pos_ = data_.size();
        return true;
    }
    bool fail() {
        ok_ = false;
        return false;
    }

    std::string_view data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct ChromiumTab {
    std::int32_t window = -1;
    std::int32_t indexInWindow = 0;
    std::int32_t selected = -1;
    std::map<std::int32_t, std::pair<std::string, std::string>> navigations;  // url, title
    bool closed = false;
    std::size_t order = 0;  // first appearance
};

// Removes navigations [index, index + count) and closes the gap.
void prune(ChromiumTab& tab, std::int64_t index, std::int64_t count) {
    if (count <= 0) return;
    index = std::max<std::int64_t>(index, 0);
    std::map<std::int32_t, std::pair<std::string, std::string>> kept;
    for (auto& [i, nav] : tab.navigations) {
        if (i < index) {
            kept.emplace(i, std::move(nav));
        } else if (i >= index + count) {
            kept.emplace(static_cast<std::int32_t>(i - count), std::move(nav));
        }
    }
    tab.navigations = std::move(kept);
}

std::optional<std::string> readWhole(const std::string& path) {
    PosixFileSystem fs;
    std::string bytes;
    if (!fs.readFile(path, bytes)) return std::nullopt;
    return bytes;
}

std::vector<std::string> subfolders(const std::string& folder) {
    std::vector<std::string> names;
    PosixFileSystem fs;
    if (const auto entries = fs.listFolder(folder)) {
        for (const auto& e : *entries) {
            if (e.attributes & kDirectory) names.push_back(e.name);
        }
    }
    return names;
}

// [Profile…] sections of Firefox's profiles.ini: each profile's folder.
std::vector<std::string> firefoxProfiles(const std::string& firefoxFolder) {
    std::ifstream ini(firefoxFolder + "/profiles.ini");
    std::vector<std::string> out;
    std::string line, path;
    bool inProfile = false, relative = true;
    const auto flush = [&] {
        if (inProfile && !path.empty()) {
            out.push_back(relative ? firefoxFolder + "/" + path : path);
        }
        path.clear();
        relative = true;
    };
    while (std::getline(ini, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            flush();
            inProfile = line.rfind("[Profile", 0) == 0;
        } else if (line.rfind("Path=", 0) == 0) {
            path = line.substr(5);
        } else if (line.rfind("IsRelative=", 0) == 0) {
            relative = line.substr(11) != "0";
        }
    }
    flush();
    return out;
}

bool processIsAlive(std::int64_t pid) {
    if (pid <= 0 || pid > INT_MAX) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<std::vector<BrowserPage>> readFirefoxSession(std::string_view bytes) {
    constexpr std::string_view magic("mozLz40\0", 8);
    if (bytes.size() < 12 || bytes.substr(0, 8) != magic) return std::nullopt;
    const std::uint32_t size = le32(bytes.data() + 8);
    if (size == 0 || size > kMaxSessionBytes) return std::nullopt;
    std::string json(size, '\0');
    const int got =
        LZ4_decompress_safe(bytes.data() + 12, json.data(), static_cast<int>(bytes.size() - 12),
                            static_cast<int>(size));
    if (got != static_cast<int>(size)) return std::nullopt;

    const auto doc = nlohmann::json::parse(json, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
    std::vector<BrowserPage> pages;
    const auto windows = doc.find("windows");
    if (windows == doc.end() || !windows->is_array()) return pages;
    for (const auto& window : *windows) {
        const auto tabs = window.is_object() ? window.find("tabs") : window.end();
        if (!window.is_object() || tabs == window.end() || !tabs->is_array()) continue;
        for (const auto& tab : *tabs) {
            if (!tab.is_object()) continue;
            const auto entries = tab.find("entries");
            if (entries == tab.end() || !entries->is_array() || entries->empty()) continue;
            // "index" counts from 1; without it the last entry is the current one.
            std::size_t index = entries->size();
            if (const auto i = tab.find("index"); i != tab.end() && i->is_number_integer()) {
                const auto v = i->get<std::int64_t>();
                if (v >= 1 && static_cast<std::size_t>(v) <= entries->size()) {
                    index = static_cast<std::size_t>(v);
                }
            }
            const auto& entry = (*entries)[index - 1];
            if (!entry.is_object()) continue;
            const auto url = entry.find("url");
            if (url == entry.end() || !url->is_string()) continue;
            BrowserPage page{url->get<std::string>(), url->get<std::string>(),
                             std::string(kFirefox)};
            if (const auto t = entry.find("title"); t != entry.end() && t->is_string()) {
                page.title = t->get<std::string>();
            }
            pages.push_back(std::move(page));
        }
    }
    return pages;
}

std::optional<std::vector<BrowserPage>> readChromiumSession(std::string_view bytes,
                                                            const std::string& application) {
    if (bytes.size() < 8 || bytes.substr(0, 4) != "SNSS") return std::nullopt;
    std::map<std::int32_t, ChromiumTab> tabs;
    std::map<std::int32_t, std::size_t> windowOrder;  // window → first appearance
    std::map<std::int32_t, bool> windowClosed;
    const auto tab = [&](std::int32_t id) -> ChromiumTab& {
        auto [it, added] = tabs.try_emplace(id);
        if (added) it->second.order = tabs.size();
        return it->second;
    };
    std::size_t pos = 8;
    while (bytes.size() - pos >= 2) {
        const std::size_t size = static_cast<unsigned char>(bytes[pos]) |
                                 (static_cast<unsigned char>(bytes[pos + 1]) << 8);
        pos += 2;
        if (size == 0 || size > bytes.size() - pos) break;  // cut short: keep what came before
        const auto id = static_cast<unsigned char>(bytes[pos]);
        const std::string_view payload = bytes.substr(pos + 1, size - 1);
        pos += size;
        const auto field = [&](std::size_t i) { return int32At(payload.data() + 4 * i); };
        switch (id) {
            case 0:  // the tab's window: window id, tab id
                if (payload.size() >= 8) {
                    tab(field(1)).window = field(0);
                    windowOrder.try_emplace(field(0), windowOrder.size());
                }
                break;
            case 2:  // the tab's place in its window
                if (payload.size() >= 8) tab(field(0)).indexInWindow = field(1);
                break;
            case 5:  // navigations pruned from the back: those from index on
                if (payload.size() >= 8) prune(tab(field(0)), field(1), std::int64_t{INT_MAX} * 2);
                break;
            case 6: {  // a navigation: tab, index, address, title
                PickleReader r(payload);
                std::int32_t tabId = 0, index = 0;
                std::string url, title;
                if (r.readInt(tabId) && r.readInt(index) && r.readString(url) &&
                    r.readString16(title)) {
                    tab(tabId).navigations[index] = {std::move(url), std::move(title)};
                }
                break;
            }
            case 7:  // the tab's current navigation
                if (payload.size() >= 8) tab(field(0)).selected = field(1);
                break;
            case 11:  // navigations pruned from the front: count
                if (payload.size() >= 8) prune(tab(field(0)), 0, field(1));
                break;
            case 16:  // a tab closed
                if (payload.size() >= 4) tab(field(0)).closed = true;
                break;
            case 17:  // a window closed
                if (payload.size() >= 4) windowClosed[field(0)] = true;
                break;
            case 24:  // navigations pruned: index, count
                if (payload.size() >= 12) prune(tab(field(0)), field(1), field(2));
                break;
            default:
                break;
        }
    }
    std::vector<const ChromiumTab*> open;
    for (const auto& [tabId, t] : tabs) {
        if (t.closed || t.window < 0 || windowClosed[t.window] || t.navigations.empty()) continue;
        open.push_back(&t);
    }
    std::sort(open.begin(), open.end(), [&](const ChromiumTab* a, const ChromiumTab* b) {
        const auto wa = windowOrder[a->window], wb = windowOrder[b->window];
        if (wa != wb) return wa < wb;
        if (a->indexInWindow != b->indexInWindow) return a->indexInWindow < b->indexInWindow;
        return a->order < b->order;
    });
    std::vector<BrowserPage> pages;
    for (const ChromiumTab* t : open) {
        auto nav = t->navigations.find(t->selected);
        if (nav == t->navigations.end()) nav = std::prev(t->navigations.end());
        const auto& [url, title] = nav->second;
        pages.push_back({title.empty() ? url : title, url, application});
    }
    return pages;
}

SessionPages::SessionPages() : isRunning_(processIsAlive) {
    const char* home = std::getenv("HOME");
    home_ = home ? home : "";
}

SessionPages::SessionPages(std::string home, IsRunning isRunning)
    : home_(std::move(home)), isRunning_(std::move(isRunning)) {}

bool SessionPages::lockIsLive(const std::string& lockPath) const {
    char target[PATH_MAX];
    const ssize_t n = readlink(lockPath.c_str(), target, sizeof target - 1);
    if (n <= 0) return false;
    const std::string text(target, static_cast<std::size_t>(n));
    const auto sep = text.find_last_of("+-");
    if (sep == std::string::npos || sep + 1 == text.size()) return false;
    char* end = nullptr;
    const long long pid = std::strtoll(text.c_str() + sep + 1, &end, 10);
    return end && *end == '\0' && isRunning_(pid);
}

void SessionPages::addFirefox(const std::string& firefoxFolder, std::vector<BrowserPage>& out) {
    for (const auto& profile : firefoxProfiles(firefoxFolder)) {
        if (!lockIsLive(profile + "/lock")) continue;
        const auto bytes = readWhole(profile + "/sessionstore-backups/recovery.jsonlz4");
        if (!bytes) continue;
        if (auto pages = readFirefoxSession(*bytes)) {
            out.insert(out.end(), pages->begin(), pages->end());
        }
    }
}

void SessionPages::addChromium(const std::string& userDataFolder, const std::string& application,
                               std::vector<BrowserPage>& out) {
    if (!lockIsLive(userDataFolder + "/SingletonLock")) return;
    for (const auto& profile : subfolders(userDataFolder)) {
        const std::string sessions = userDataFolder + "/" + profile + "/Sessions";
        std::string newest;
        PosixFileSystem fs;
        if (const auto entries = fs.listFolder(sessions)) {
            for (const auto& e : *entries) {
                // Session_<time>: the newest has the largest time, all of equal length.
                if (e.name.rfind("Session_", 0) == 0 && e.attributes == 0 &&
                    (e.name.size() > newest.size() ||
                     (e.name.size() == newest.size() && e.name > newest))) {
                    newest = e.name;
                }
            }
        }
        if (newest.empty()) continue;
        const auto bytes = readWhole(sessions + "/" + newest);
        if (!bytes) continue;
        if (auto pages = readChromiumSession(*bytes, application)) {
            out.insert(out.end(), pages->begin(), pages->end());
        }
    }
}

std::vector<BrowserPage> SessionPages::openPages() {
    std::vector<BrowserPage> pages;
    if (home_.empty()) return pages;
    // Recent Firefox keeps new profiles in the XDG configuration folder.
    for (const char* f :
         {"/.mozilla/firefox", "/.config/mozilla/firefox", "/snap/firefox/common/.mozilla/firefox",
          "/.var/app/org.mozilla.firefox/.mozilla/firefox"}) {
        addFirefox(home_ + f, pages);
    }
    addChromium(home_ + "/.config/chromium", "Chromium", pages);
    addChromium(home_ + "/snap/chromium/common/chromium", "Chromium", pages);
    addChromium(home_ + "/.config/google-chrome", "Google Chrome", pages);
    return pages;
}

}  // namespace brim::platform
