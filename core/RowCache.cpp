#include "core/RowCache.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/NativePaths.h"

namespace brim::core {
namespace {

// Written first: a file of another format or program version is not read on.
constexpr std::string_view kMagic = "brimmark rows 1\n";
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

class Writer {
  public:
    void number(std::uint64_t v) {
        for (int i = 0; i < 8; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
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
        v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(in_[i])) << (8 * i);
        in_.remove_prefix(8);
        return true;
    }
    bool signedNumber(std::int64_t& v) {
        std::uint64_t u = 0;
        if (!number(u)) return false;
        v = static_cast<std::int64_t>(u);
        return true;
    }
    bool text(std::string& s) {
        std::uint64_t n = 0;
        if (!number(n) || n > in_.size()) return false;
        s.assign(in_.substr(0, n));
        in_.remove_prefix(n);
        return true;
    }
    bool empty() const { return in_.empty(); }

  private:
    std::string_view in_;
};

bool byName(const CachedFile& a, const CachedFile& b) {
    return a.disk < b.disk;
}

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
    w.out.append(kMagic);
    w.text(BRIMMARK_VERSION);
    w.text(root_);
    w.text(codePage_);
    const std::lock_guard lock(mutex_);
    w.number(folders_.size());
    for (const auto& [path, files] : folders_) {
        w.text(path);
        w.number(files->size());
        for (const auto& f : *files) {
            w.text(f.disk);
            w.number(f.stamp.device);
            w.number(f.stamp.id);
            w.number(static_cast<std::uint64_t>(f.stamp.size));
            w.number(static_cast<std::uint64_t>(f.stamp.modified));
            w.number(static_cast<std::uint64_t>(f.stamp.changed));
            w.text(f.values.url);
            w.text(f.values.comment);
        }
    }
    // The sum tells a damaged file from a whole one.
    w.number(fnv1a(w.out));
    return std::move(w.out);
}

bool RowCache::load(std::string_view bytes) {
    std::unordered_map<std::string, std::shared_ptr<const Files>> folders;
    const auto whole = [&] {
        if (bytes.size() < kMagic.size() + 8 || !bytes.starts_with(kMagic)) return false;
        const std::string_view body = bytes.substr(0, bytes.size() - 8);
        std::uint64_t sum = 0;
        if (!Reader(bytes.substr(body.size())).number(sum) || sum != fnv1a(body)) return false;
        Reader r(body.substr(kMagic.size()));
        std::string version, root, codePage;
        std::uint64_t folderCount = 0;
        if (!r.text(version) || version != BRIMMARK_VERSION || !r.text(root) || root != root_ ||
            !r.text(codePage) || codePage != codePage_ || !r.number(folderCount))
            return false;
        for (std::uint64_t i = 0; i < folderCount; ++i) {
            std::string path;
            std::uint64_t count = 0;
            if (!r.text(path) || !r.number(count)) return false;
            Files files;
            // Each entry takes more than 64 bytes: a damaged count cannot
            // make room for more entries than the file holds.
            if (count > body.size() / 64) return false;
            files.reserve(count);
            for (std::uint64_t j = 0; j < count; ++j) {
                CachedFile& f = files.emplace_back();
                if (!r.text(f.disk) || !r.number(f.stamp.device) || !r.number(f.stamp.id) ||
                    !r.signedNumber(f.stamp.size) || !r.signedNumber(f.stamp.modified) ||
                    !r.signedNumber(f.stamp.changed) || !r.text(f.values.url) ||
                    !r.text(f.values.comment))
                    return false;
            }
            if (!std::is_sorted(files.begin(), files.end(), byName)) return false;
            folders[std::move(path)] = std::make_shared<const Files>(std::move(files));
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
        load(bytes);
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

std::shared_ptr<const RowCache::Files> RowCache::folder(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto it = folders_.find(path);
    return it == folders_.end() ? nullptr : it->second;
}

void RowCache::store(const std::string& path, Files files) {
    const std::lock_guard lock(mutex_);
    visited_.insert(path);
    auto& slot = folders_[path];
    if (slot && *slot == files) return;
    slot = std::make_shared<const Files>(std::move(files));
    changed_ = true;
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
    for (const auto& [path, files] : folders_)
        n += files->size();
    return n;
}

bool RowCache::changed() const {
    const std::lock_guard lock(mutex_);
    return changed_;
}

RowCache::Folder::Folder(RowCache* cache, const Profile& profile, const std::string& path,
                         const FolderContents& contents)
    : cache_(cache), profile_(profile), path_(path), contents_(contents) {
    if (!cache_) return;
    old_ = cache_->folder(path_);
    // Taken before any file of the folder is read: a change after a read
    // gives the file a later time than this, and so another stamp.
    const auto from = cache_->clock_() - kRacyWindow;
    racyFrom_ =
        std::chrono::duration_cast<std::chrono::nanoseconds>(from.time_since_epoch()).count();
}

ShortcutValues RowCache::Folder::read(const ListedName& name, std::string& bytes) {
    const bool stamped = cache_ && name.stamp.known();
    if (stamped && old_) {
        CachedFile probe;
        probe.disk = name.disk;
        const auto it = std::lower_bound(old_->begin(), old_->end(), probe, byName);
        if (it != old_->end() && it->disk == name.disk && it->stamp == name.stamp) {
            now_.push_back(*it);
            return it->values;
        }
    }
    ShortcutValues values;
    if (!contents_.folder->readFile(name.disk, bytes)) return values;
    values.comment = profile_.valueIn(bytes, kCommentSection, kCommentKey);
    values.url = profile_.valueIn(bytes, kShortcutSection, kUrlKey);
    if (stamped && name.stamp.modified < racyFrom_ && name.stamp.changed < racyFrom_)
        now_.push_back({name.disk, name.stamp, values});
    return values;
}

void RowCache::Folder::keep() {
    if (!cache_) return;
    std::sort(now_.begin(), now_.end(), byName);
    cache_->store(path_, std::move(now_));
}

}  // namespace brim::core
