#include "core/SessionFiles.h"

#include <lz4.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <utility>

#include "text/Utf8.h"

namespace brim::core {
namespace {

using platform::BrowserPage;

constexpr std::string_view kFirefox = "Mozilla Firefox";

// What a reader may hold of one file's pages and unchosen entries, counted as
// the bytes of their texts plus a fixed cost for each.
constexpr std::size_t kMaxKeptBytes = 32u << 20;
constexpr std::size_t kCostPerItem = 96;

// The JSON parser holds a text several times over while it reads it (the
// text, the raw bytes for its messages, and their copies as they grow), so a
// text longer than any a session needs is refused before parsing.
constexpr std::size_t kMaxTextBytes = 8u << 20;

// Steps a Chromium log may cost in renumbering navigations; a real log needs
// a few per command, a hostile one could ask for billions.
constexpr std::size_t kMaxPruneSteps = 4u << 20;

std::uint32_t le32(const char* p) {
    // The formats are little-endian; assembled byte by byte so that the
    // machine's own order does not matter.
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{u[0]} | std::uint32_t{u[1]} << 8 | std::uint32_t{u[2]} << 16 |
           std::uint32_t{u[3]} << 24;
}

std::int32_t int32At(const char* p) {
    return static_cast<std::int32_t>(le32(p));
}

std::string megabytes(std::size_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

SessionRead skipped(std::string why) {
    return SessionRead{{}, std::move(why)};
}

// Thrown inside a reader when a file asks for more than its limits; caught
// before it leaves the reader.
struct OverLimit {
    std::string why;
};

// ---- Firefox: the session store's JSON, walked without building a document.

// Where the parser stands: only the frames on the way to an entry's address
// and title are told apart; everything else is counted as depth.
enum class Frame : std::uint8_t { Root, Windows, Window, Tabs, Tab, Entries, Entry };

// The key last seen in an object the reader looks into.
enum class Key : std::uint8_t { Other, Windows, Tabs, Entries, Index, Url, Title };

struct Entry {
    bool object = false;  // entries that are not objects still count for "index"
    std::optional<std::string> url;
    std::optional<std::string> title;
};

class FirefoxSax {
  public:
    using json = nlohmann::json;

    std::vector<BrowserPage> pages;
    bool rootIsObject = false;
    std::string error;

    bool null() { return value(); }
    bool boolean(bool) { return value(); }
    bool number_integer(json::number_integer_t v) { return integer(v); }
    bool number_unsigned(json::number_unsigned_t v) {
        return integer(v > static_cast<json::number_unsigned_t>(INT64_MAX)
                           ? INT64_MAX
                           : static_cast<std::int64_t>(v));
    }
    bool number_float(json::number_float_t, const json::string_t&) { return value(); }
    bool binary(json::binary_t&) { return value(); }

    bool string(json::string_t& s) {
        if (ignored_ == 0 && !frames_.empty() && frames_.back() == Frame::Entry &&
            (key_ == Key::Url || key_ == Key::Title) && !entries_.empty()) {
            auto& field = key_ == Key::Url ? entries_.back().url : entries_.back().title;
            if (field) entryBytes_ -= std::min(entryBytes_, field->size());
            entryBytes_ += s.size();
            checkLimit();
            field = std::move(s);
            return true;
        }
        return value();
    }

    bool start_object(std::size_t) {
        if (ignored_ > 0) return enterIgnored();
        if (frames_.empty()) {
            rootIsObject = true;
            frames_.push_back(Frame::Root);
            return true;
        }
        switch (frames_.back()) {
            case Frame::Windows:
                frames_.push_back(Frame::Window);
                return true;
            case Frame::Tabs:
                frames_.push_back(Frame::Tab);
                tabIndex_.reset();
                clearEntries();
                return true;
            case Frame::Entries:
                addEntryCost();
                entries_.push_back(Entry{true, {}, {}});
                frames_.push_back(Frame::Entry);
                return true;
            default:
                valueOfKey();
                return enterIgnored();
        }
    }

    bool key(json::string_t& k) {
        if (ignored_ > 0 || frames_.empty()) return true;
        key_ = k == "windows"   ? Key::Windows
               : k == "tabs"    ? Key::Tabs
               : k == "entries" ? Key::Entries
               : k == "index"   ? Key::Index
               : k == "url"     ? Key::Url
               : k == "title"   ? Key::Title
                                : Key::Other;
        return true;
    }

    bool end_object() {
        if (ignored_ > 0) {
            --ignored_;
            return true;
        }
        if (frames_.empty()) return true;
        if (frames_.back() == Frame::Tab) finishTab();
        frames_.pop_back();
        key_ = Key::Other;
        return true;
    }

    bool start_array(std::size_t) {
        if (ignored_ > 0) return enterIgnored();
        if (frames_.empty()) return enterIgnored();  // a root that is not an object
        const Frame top = frames_.back();
        if (top == Frame::Root && key_ == Key::Windows) {
            frames_.push_back(Frame::Windows);
        } else if (top == Frame::Window && key_ == Key::Tabs) {
            frames_.push_back(Frame::Tabs);
        } else if (top == Frame::Tab && key_ == Key::Entries) {
            clearEntries();  // of two "entries", the last counts
            frames_.push_back(Frame::Entries);
        } else {
            valueOfKey();
            return enterIgnored();
        }
        return true;
    }

    bool end_array() {
        if (ignored_ > 0) {
            --ignored_;
            return true;
        }
        if (!frames_.empty()) frames_.pop_back();
        key_ = Key::Other;
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        error = "damaged JSON near byte " + std::to_string(position);
        return false;
    }

  private:
    // A value the reader does not keep. In a list of entries it still takes
    // a place; as a tab's "entries" it means the tab has none.
    bool value() {
        if (ignored_ == 0) valueOfKey();
        return true;
    }

    void valueOfKey() {
        if (frames_.empty()) return;
        if (frames_.back() == Frame::Entries) {
            addEntryCost();
            entries_.push_back(Entry{});
        } else if (frames_.back() == Frame::Tab && key_ == Key::Entries) {
            clearEntries();
        } else if (frames_.back() == Frame::Tab && key_ == Key::Index) {
            tabIndex_.reset();
        }
    }

    bool enterIgnored() {
        ++ignored_;
        return true;
    }

    bool integer(std::int64_t v) {
        if (ignored_ == 0 && !frames_.empty() && frames_.back() == Frame::Tab &&
            key_ == Key::Index) {
            tabIndex_ = v;
            return true;
        }
        return value();
    }

    // "index" counts from 1; without a usable one the last entry is the
    // current one.
    void finishTab() {
        if (!entries_.empty()) {
            std::size_t i = entries_.size();
            if (tabIndex_ && *tabIndex_ >= 1 &&
                static_cast<std::uint64_t>(*tabIndex_) <= entries_.size()) {
                i = static_cast<std::size_t>(*tabIndex_);
            }
            Entry& e = entries_[i - 1];
            if (e.object && e.url) {
                std::string url = std::move(*e.url);
                std::string title = e.title ? std::move(*e.title) : url;
                clearEntries();
                pageBytes_ += url.size() + title.size() + kCostPerItem;
                checkLimit();
                pages.push_back({std::move(title), std::move(url), std::string(kFirefox)});
            }
        }
        clearEntries();
        tabIndex_.reset();
    }

    void clearEntries() {
        entries_.clear();
        entryBytes_ = 0;
    }

    void addEntryCost() {
        entryBytes_ += kCostPerItem;
        checkLimit();
    }

    void checkLimit() const {
        if (pageBytes_ + entryBytes_ > kMaxKeptBytes) {
            throw OverLimit{"holds more pages than the " + megabytes(kMaxKeptBytes) +
                            " a session may keep"};
        }
    }

    std::vector<Frame> frames_;  // at most seven deep
    std::size_t ignored_ = 0;    // depth inside values the reader skips
    Key key_ = Key::Other;
    std::optional<std::int64_t> tabIndex_;
    std::vector<Entry> entries_;  // of the tab being read
    std::size_t entryBytes_ = 0;  // what entries_ holds
    std::size_t pageBytes_ = 0;   // what pages holds
};

// The length of the longest string in `json`, quotes and escapes included;
// in JSON that is not well-formed, of what looks like one.
std::size_t longestText(std::string_view json) {
    std::size_t longest = 0;
    std::size_t i = json.find('"');
    while (i != std::string_view::npos) {
        std::size_t j = i + 1;
        for (;;) {
            j = json.find_first_of("\"\\", j);
            if (j == std::string_view::npos) return std::max(longest, json.size() - i);
            if (json[j] == '"') break;
            j += 2;  // an escaped character
        }
        longest = std::max(longest, j + 1 - i);
        i = json.find('"', j + 1);
    }
    return longest;
}

SessionRead readFirefox(std::string_view bytes) {
    constexpr std::string_view magic("mozLz40\0", 8);
    if (bytes.size() < 12 || bytes.substr(0, 8) != magic) {
        return skipped("not a Firefox session store");
    }
    const std::uint32_t size = le32(bytes.data() + 8);
    std::string json;
    switch (DecodeLz4Block(bytes.substr(12), size, json)) {
        case Lz4Status::Ok:
            break;
        case Lz4Status::TooLarge:
            return skipped("expands to " + megabytes(size) + ", more than the " +
                           megabytes(kMaxSessionJsonBytes) + " a session may hold");
        case Lz4Status::NoMemory:
            return skipped("not enough memory to expand " + megabytes(size));
        case Lz4Status::Damaged:
            return skipped("damaged compressed data");
    }
    if (longestText(json) > kMaxTextBytes) {
        return skipped("holds a text longer than the " + megabytes(kMaxTextBytes) +
                       " a session may hold");
    }
    FirefoxSax sax;
    const bool parsed = nlohmann::json::sax_parse(json.begin(), json.end(), &sax);
    if (!parsed) return skipped(sax.error.empty() ? "damaged JSON" : sax.error);
    if (!sax.rootIsObject) return skipped("not a session store: its JSON is not an object");
    return SessionRead{std::move(sax.pages), {}};
}

// ---- Chromium: the session command log, replayed.

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

using Navigation = std::pair<std::string, std::string>;  // url, title

struct ChromiumTab {
    std::int32_t window = -1;
    std::int32_t indexInWindow = 0;
    std::int32_t selected = -1;
    std::map<std::int32_t, Navigation> navigations;
    bool closed = false;
    std::size_t order = 0;  // first appearance
};

class ChromiumLog {
  public:
    ChromiumTab& tab(std::int32_t id) {
        auto [it, added] = tabs_.try_emplace(id);
        if (added) {
            charge(0);
            it->second.order = tabs_.size();
        }
        return it->second;
    }

    void navigate(std::int32_t tabId, std::int32_t index, std::string url, std::string title) {
        auto& navs = tab(tabId).navigations;
        charge(url.size() + title.size());
        auto [it, added] = navs.try_emplace(index);
        if (!added) release(cost(it->second));
        it->second = {std::move(url), std::move(title)};
    }

    // Removes navigations [index, index + count) and closes the gap.
    void prune(ChromiumTab& t, std::int64_t index, std::int64_t count) {
        if (count <= 0) return;
        index = std::max<std::int64_t>(index, 0);
        auto& navs = t.navigations;
        auto it =
            navs.lower_bound(static_cast<std::int32_t>(std::min<std::int64_t>(index, INT_MAX)));
        while (it != navs.end() && it->first < index + count) {
            release(cost(it->second));
            it = navs.erase(it);
        }
        // Those behind the gap move down; each costs a step of the budget.
        std::vector<std::pair<std::int32_t, Navigation>> moved;
        for (; it != navs.end(); it = navs.erase(it)) {
            if (++steps_ > kMaxPruneSteps) {
                throw OverLimit{"asks for too much work to replay"};
            }
            moved.emplace_back(static_cast<std::int32_t>(it->first - count), std::move(it->second));
        }
        for (auto& [i, nav] : moved)
            navs.emplace(i, std::move(nav));
    }

    // The window's place among the windows, counted when first named.
    void window(std::int32_t id) {
        if (windowOrder_.try_emplace(id, windowOrder_.size()).second) charge(0);
    }
    void closeWindow(std::int32_t id) {
        if (windowClosed_.insert(id).second) charge(0);
    }

    std::map<std::int32_t, ChromiumTab>& tabs() { return tabs_; }
    std::map<std::int32_t, std::size_t>& windowOrder() { return windowOrder_; }
    bool windowIsClosed(std::int32_t id) const { return windowClosed_.count(id) > 0; }

  private:
    static std::size_t cost(const Navigation& n) {
        return n.first.size() + n.second.size() + kCostPerItem;
    }
    void charge(std::size_t bytes) {
        kept_ += bytes + kCostPerItem;
        if (kept_ > kMaxKeptBytes) {
            throw OverLimit{"holds more tabs and windows than the " + megabytes(kMaxKeptBytes) +
                            " a session may keep"};
        }
    }
    void release(std::size_t bytes) { kept_ -= std::min(kept_, bytes); }

    std::map<std::int32_t, ChromiumTab> tabs_;
    std::map<std::int32_t, std::size_t> windowOrder_;  // window → first appearance
    std::set<std::int32_t> windowClosed_;
    std::size_t kept_ = 0;
    std::size_t steps_ = 0;
};

SessionRead readChromium(std::string_view bytes, std::string_view application) {
    if (bytes.size() < 8 || bytes.substr(0, 4) != "SNSS") {
        return skipped("not a Chromium session file");
    }
    ChromiumLog log;
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
                    log.tab(field(1)).window = field(0);
                    log.window(field(0));
                }
                break;
            case 2:  // the tab's place in its window
                if (payload.size() >= 8) log.tab(field(0)).indexInWindow = field(1);
                break;
            case 5:  // navigations pruned from the back: those from index on
                if (payload.size() >= 8) {
                    log.prune(log.tab(field(0)), field(1), std::int64_t{INT_MAX} * 2);
                }
                break;
            case 6: {  // a navigation: tab, index, address, title
                PickleReader r(payload);
                std::int32_t tabId = 0, index = 0;
                std::string url, title;
                if (r.readInt(tabId) && r.readInt(index) && r.readString(url) &&
                    r.readString16(title)) {
                    log.navigate(tabId, index, std::move(url), std::move(title));
                }
                break;
            }
            case 7:  // the tab's current navigation
                if (payload.size() >= 8) log.tab(field(0)).selected = field(1);
                break;
            case 11:  // navigations pruned from the front: count
                if (payload.size() >= 8) log.prune(log.tab(field(0)), 0, field(1));
                break;
            case 16:  // a tab closed
                if (payload.size() >= 4) log.tab(field(0)).closed = true;
                break;
            case 17:  // a window closed
                if (payload.size() >= 4) log.closeWindow(field(0));
                break;
            case 24:  // navigations pruned: index, count
                if (payload.size() >= 12) log.prune(log.tab(field(0)), field(1), field(2));
                break;
            default:
                break;
        }
    }
    std::vector<const ChromiumTab*> open;
    for (const auto& [tabId, t] : log.tabs()) {
        if (t.closed || t.window < 0 || t.navigations.empty() || log.windowIsClosed(t.window)) {
            continue;
        }
        open.push_back(&t);
    }
    auto& windowOrder = log.windowOrder();
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
        pages.push_back({title.empty() ? url : title, url, std::string(application)});
    }
    return SessionRead{std::move(pages), {}};
}

// Runs a reader so that nothing it throws leaves it: running out of memory
// and passing a limit both become a skipped file.
template <typename Read>
SessionRead guarded(Read read) noexcept {
    try {
        return read();
    } catch (const OverLimit& e) {
        try {
            return skipped(e.why);
        } catch (...) {
            return SessionRead{};
        }
    } catch (...) {
        // The message is a short literal: building it may fail too, and then
        // an empty result with no reason is all that can be said.
        try {
            return skipped("not enough memory to read it");
        } catch (...) {
            return SessionRead{};
        }
    }
}

}  // namespace

Lz4Status DecodeLz4Block(std::string_view block, std::size_t size, std::string& out,
                         std::size_t limit) noexcept {
    out.clear();
    // liblz4 counts in int: a size it cannot count is refused like any other.
    if (size > limit || size > static_cast<std::size_t>(INT_MAX)) return Lz4Status::TooLarge;
    // No block of `size` bytes packs to more than this: a longer one is not
    // that block, whatever it holds.
    if (block.size() > static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(size)))) {
        return Lz4Status::Damaged;
    }
    try {
        out.resize(size);
    } catch (...) {
        out = std::string();
        return Lz4Status::NoMemory;
    }
    const int n = LZ4_decompress_safe(block.data(), out.data(), static_cast<int>(block.size()),
                                      static_cast<int>(size));
    if (n < 0 || static_cast<std::size_t>(n) != size) {
        out = std::string();
        return Lz4Status::Damaged;
    }
    return Lz4Status::Ok;
}

SessionRead ReadFirefoxSession(std::string_view bytes) noexcept {
    return guarded([&] { return readFirefox(bytes); });
}

SessionRead ReadChromiumSession(std::string_view bytes, std::string_view application) noexcept {
    return guarded([&] { return readChromium(bytes, application); });
}

}  // namespace brim::core
