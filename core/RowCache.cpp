#include "core/RowCache.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

#include "platform/NativePaths.h"

namespace brim::core {
namespace {

// Written first: a file of another format or program version is not read on.
constexpr std::string_view kMagic = "brimmark rows 2\n";
// A change this close before a read may leave the file's stamp as it was:
// times on some disks go in steps of up to two seconds.
constexpr std::chrono::seconds kRacyWindow{2};

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t h = 14695981039346656037ull) {
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// The sum that tells a damaged cache file from a whole one, eight bytes at a
// step: the file is read whole at every start.
std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t h = 0x9e3779b97f4a7c15ull ^ bytes.size();
    const auto mix = [&](std::uint64_t w) {
        h = (h ^ w) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes.data() + at, 8);
        mix(w);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    mix(tail);
    return h;
}

// Numbers are stored as eight bytes, least significant first, whatever the
// machine's own order; on the usual machines that is one copy.
void putNumber(std::uint64_t v, char* bytes) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(bytes, &v, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            bytes[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
}

std::uint64_t getNumber(const char* bytes) {
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, bytes, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return v;
}

class Writer {
  public:
    void number(std::uint64_t v) {
        char bytes[8];
        putNumber(v, bytes);
        out.append(bytes, sizeof bytes);
    }
    void text(std::string_view s) {
        number(s.size());
        out.append(s);
    }
    std::string out;
};

class Reader {
  public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool number(std::uint64_t& v) {
        if (in_.size() < 8) return false;
        v = getNumber(in_.data());
        in_.remove_prefix(8);
        return true;
    }
    bool signedNumber(std::int64_t& v) {
        std::uint64_t u = 0;
        if (!number(u)) return false;
        v = static_cast<std::int64_t>(u);
        return true;
    }
    bool text(std::string_view& s) {
        std::uint64_t n = 0;
        if (!number(n) || n > in_.size()) return false;
        s = in_.substr(0, n);
        in_.remove_prefix(n);
        return true;
    }
    bool text(std::string& s) {
        std::string_view v;
        if (!text(v)) return false;
        s.assign(v);
        return true;
    }
    bool skip(std::size_t n) {
        if (n > in_.size()) return false;
        in_.remove_prefix(n);
        return true;
    }
    std::string_view rest() const { return in_; }
    bool empty() const { return in_.empty(); }

  private:
    std::string_view in_;
};

}  // namespace

RowCache::RowCache(std::string favoritesRoot, std::string codePage)
    : root_(std::move(favoritesRoot)), codePage_(std::move(codePage)) {}

std::string RowCache::fileFor(const std::string& cacheFolder, const std::string& favoritesRoot,
                              const std::string& codePage) {
    if (cacheFolder.empty()) return {};
    static constexpr char kHex[] = "0123456789abcdef";
    std::uint64_t h = fnv1a(codePage, fnv1a(std::string_view("\0", 1), fnv1a(favoritesRoot)));
    std::string name = "rows-";
    for (int i = 15; i >= 0; --i)
        name += kHex[(h >> (4 * i)) & 15];
    return cacheFolder + name + ".cache";
}

std::string RowCache::serialize() const {
    Writer w;
    const std::lock_guard lock(mutex_);
    std::size_t size = kMagic.size() + 64 + root_.size() + codePage_.size();
    for (const auto& [path, entries] : folders_)
        size += 8 + path.size() + entries.text.size();
    w.out.reserve(size);
    w.out.append(kMagic);
    w.text(BRIMMARK_VERSION);
    w.text(root_);
    w.text(codePage_);
    w.number(folders_.size());
    for (const auto& [path, entries] : folders_) {
        w.text(path);
        w.out.append(entries.text);
    }
    w.number(checksum(w.out));
    return std::move(w.out);
}

bool RowCache::load(std::string bytes) {
    auto loaded = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view all = *loaded;
    std::unordered_map<std::string, Entries> folders;
    // Checks the whole file and finds each folder's entries; they are read
    // when their folder is.
    const auto whole = [&] {
        if (all.size() < kMagic.size() + 8 || !all.starts_with(kMagic)) return false;
        const std::string_view body = all.substr(0, all.size() - 8);
        std::uint64_t sum = 0;
        if (!Reader(all.substr(body.size())).number(sum) || sum != checksum(body)) return false;
        Reader r(body.substr(kMagic.size()));
        std::string version, root, codePage;
        std::uint64_t folderCount = 0;
        if (!r.text(version) || version != BRIMMARK_VERSION || !r.text(root) || root != root_ ||
            !r.text(codePage) || codePage != codePage_ || !r.number(folderCount))
            return false;
        // Each folder takes more than 16 bytes: a damaged count cannot make
        // room for more folders than the file holds.
        if (folderCount > body.size() / 16) return false;
        folders.reserve(folderCount);
        for (std::uint64_t i = 0; i < folderCount; ++i) {
            std::string path;
            std::uint64_t count = 0;
            if (!r.text(path)) return false;
            const std::string_view from = r.rest();
            if (!r.number(count) || count > body.size() / 64) return false;
            for (std::uint64_t j = 0; j < count; ++j) {
                std::string_view disk, url, comment;
                if (!r.text(disk) || !r.skip(5 * 8) || !r.text(url) || !r.text(comment))
                    return false;
            }
            const std::string_view text = from.substr(0, from.size() - r.rest().size());
            folders[std::move(path)] = {loaded, text, static_cast<std::size_t>(count)};
        }
        return r.empty();
    };
    const bool ok = whole();
    const std::lock_guard lock(mutex_);
    folders_ = ok ? std::move(folders) : decltype(folders){};
    visited_.clear();
    changed_ = !ok;
    return ok;
}

void RowCache::loadFile(platform::FileSystem& fs, const std::string& path) {
    std::string bytes;
    if (fs.readFile(path, bytes)) {
        load(std::move(bytes));
    } else {
        load({});
    }
}

bool RowCache::saveFile(platform::FileSystem& fs, const std::string& path) {
    if (!changed()) return true;
    const std::string bytes = serialize();
    // What could not be read back is not written.
    if (bytes.size() > platform::FileSystem::kMaxFileBytes) return false;
    constexpr auto paths = platform::NativePaths::native();
    const std::size_t sep = paths.lastSeparator(path);
    if (sep == std::string::npos) return false;
    // The cache folder and those above it, as far as they are missing.
    for (std::size_t at = paths.isAbsolute(path) ? 1 : 0; at <= sep; ++at) {
        if (paths.isSeparator(path[at]) && at > 0 && !paths.isSeparator(path[at - 1])) {
            if (!fs.createFolder(path.substr(0, at + 1))) {
                // Drive roots and shares cannot be made: only the last failure counts.
                if (at == sep) return false;
            }
        }
    }
    if (!fs.replaceFile(path, bytes)) return false;
    const std::lock_guard lock(mutex_);
    changed_ = false;
    return true;
}

RowCache::Entries RowCache::folder(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto it = folders_.find(path);
    return it == folders_.end() ? Entries{} : it->second;
}

void RowCache::store(const std::string& path, std::string text, std::size_t count) {
    auto owned = std::make_shared<const std::string>(std::move(text));
    const std::lock_guard lock(mutex_);
    visited_.insert(path);
    auto& slot = folders_[path];
    if (slot.owner && slot.text == *owned) return;
    slot = {owned, *owned, count};
    changed_ = true;
}

void RowCache::keepAsItWas(const std::string& path) {
    const std::lock_guard lock(mutex_);
    visited_.insert(path);
}

void RowCache::forgetUnvisited() {
    const std::lock_guard lock(mutex_);
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (visited_.count(it->first)) {
            ++it;
        } else {
            it = folders_.erase(it);
            changed_ = true;
        }
    }
    visited_.clear();
}

std::size_t RowCache::fileCount() const {
    const std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& [path, entries] : folders_)
        n += entries.count;
    return n;
}

void RowCache::forgetSaved() {
    const std::lock_guard lock(mutex_);
    changed_ = true;
}

bool RowCache::holds(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto it = folders_.find(path);
    return it != folders_.end() && it->second.count > 0;
}

bool RowCache::changed() const {
    const std::lock_guard lock(mutex_);
    return changed_;
}

RowCache::Folder::Folder(RowCache* cache, const Profile& profile, const std::string& path,
                         const FolderContents& contents)
    : cache_(cache), profile_(profile), path_(path), contents_(contents) {
    if (!cache_) return;
    const Entries entries = cache_->folder(path_);
    text_ = entries.owner;
    recorded_ = text_ != nullptr;
    if (recorded_) {
        Reader r(entries.text);
        std::uint64_t count = 0;
        bool whole = r.number(count) && count == entries.count;
        old_.reserve(entries.count);
        for (std::uint64_t j = 0; whole && j < count; ++j) {
            Recorded& e = old_.emplace_back();
            whole = r.text(e.disk) && r.number(e.stamp.device) && r.number(e.stamp.id) &&
                    r.signedNumber(e.stamp.size) && r.signedNumber(e.stamp.modified) &&
                    r.signedNumber(e.stamp.changed) && r.text(e.values.url) &&
                    r.text(e.values.comment);
        }
        if (!whole || !r.empty() || !std::is_sorted(old_.begin(), old_.end())) {
            // Not as written: this folder's files are read, and recorded anew.
            old_.clear();
            recorded_ = false;
        }
    }
    // Taken before any file of the folder is read: a change after a read
    // gives the file a later time than this, and so another stamp.
    const auto from = cache_->clock_() - kRacyWindow;
    racyFrom_ =
        std::chrono::duration_cast<std::chrono::nanoseconds>(from.time_since_epoch()).count();
}

ShortcutValues RowCache::Folder::read(const ListedName& name, std::string& bytes) {
    const bool stamped = cache_ && name.stamp.known();
    if (stamped && !old_.empty()) {
        const std::string_view disk = name.disk;
        const auto it =
            std::lower_bound(old_.begin(), old_.end(), disk,
                             [](const Recorded& e, std::string_view d) { return e.disk < d; });
        if (it != old_.end() && it->disk == disk && it->stamp == name.stamp) {
            served_.push_back(&*it);
            return {std::string(it->values.url), std::string(it->values.comment)};
        }
    }
    // A listing that left the stamp out has it taken from the open file.
    platform::FileStamp stamp = name.stamp;
    const bool read = cache_ && stamp.deferred
                          ? bool(contents_.folder->readStamped(name.disk, bytes, stamp))
                          : bool(contents_.folder->readFile(name.disk, bytes));
    if (!read) return {};
    ShortcutValues values = profile_.ShortcutIn(bytes);
    if (cache_ && stamp.known() && stamp.modified < racyFrom_ && stamp.changed < racyFrom_)
        fresh_.push_back({name.disk, stamp, values});
    return values;
}

void RowCache::Folder::keep() {
    if (!cache_) return;
    // Every entry served as recorded and no other: the folder is as it was.
    if (recorded_ && fresh_.empty() && served_.size() == old_.size()) {
        cache_->keepAsItWas(path_);
        return;
    }
    std::vector<Recorded> now;
    now.reserve(served_.size() + fresh_.size());
    for (const Recorded* e : served_)
        now.push_back(*e);
    for (const auto& f : fresh_)
        now.push_back({f.disk, f.stamp, {f.values.url, f.values.comment}});
    std::sort(now.begin(), now.end());
    Writer w;
    std::size_t size = 8;
    for (const auto& e : now)
        size += 8 * 8 + e.disk.size() + e.values.url.size() + e.values.comment.size();
    w.out.reserve(size);
    w.number(now.size());
    for (const auto& e : now) {
        w.text(e.disk);
        w.number(e.stamp.device);
        w.number(e.stamp.id);
        w.number(static_cast<std::uint64_t>(e.stamp.size));
        w.number(static_cast<std::uint64_t>(e.stamp.modified));
        w.number(static_cast<std::uint64_t>(e.stamp.changed));
        w.text(e.values.url);
        w.text(e.values.comment);
    }
    cache_->store(path_, std::move(w.out), now.size());
}

}  // namespace brim::core
