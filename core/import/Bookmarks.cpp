#include "core/import/Bookmarks.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/Paths.h"
#include "core/ProfileText.h"
#include "core/Walk.h"
#include "platform/NativePaths.h"
#include "text/Utf8.h"

namespace brim::core::import {
namespace {

constexpr platform::NativePaths kPaths = platform::NativePaths::native();

// Names compared as Windows finds files: without regard to ASCII case.
std::string foldKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return key;
}

bool isReservedDevice(std::string_view name) {
    // CON, PRN, AUX, NUL, COM1…9, LPT1…9 — also before an extension.
    const std::string stem = foldKey(name.substr(0, name.find('.')));
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// The host of an address, to name a bookmark that has no title.
std::string hostOf(std::string_view url) {
    const auto scheme = url.find("://");
    if (scheme == std::string_view::npos) return {};
    url.remove_prefix(scheme + 3);
    return std::string(url.substr(0, url.find_first_of("/?#")));
}

WriteStatus failed(WriteStatus::Kind kind, platform::IoResult io = {}) {
    WriteStatus s;
    s.kind = kind;
    s.io = io;
    return s;
}

class Writer {
  public:
    Writer(const Catalog& catalog, bool dryRun, const std::function<void(std::size_t)>& progress,
           ImportSummary& summary)
        : catalog_(catalog), dryRun_(dryRun), progress_(progress), summary_(summary) {}

    // Makes `folder` (ending in a separator) and every missing level above it.
    bool makeFolder(const std::string& folder) {
        const std::string path = kPaths.withoutTrailingSeparator(folder);
        if (made_.count(folder) || catalog_.fileSystem().attributes(path)) return true;
        const std::size_t cut = kPaths.lastSeparator(path);
        if (cut == std::string::npos || cut + 1 >= folder.size()) return false;
        if (!makeFolder(folder.substr(0, cut + 1))) return false;
        if (!dryRun_ && !catalog_.fileSystem().createFolder(path)) return false;
        made_.insert(folder);
        ++summary_.foldersCreated;
        return true;
    }

    void write(const BookmarkFolder& tree, const std::string& folder, const std::string& label) {
        if (tree.count() == 0) return;
        if (!makeFolder(folder)) {
            refuseAll(tree, label, "cannot create the folder");
            return;
        }
        Existing existing = scan(folder);
        const auto files = dryRun_ ? nullptr : catalog_.fileSystem().newFilesIn(folder);
        for (const auto& b : tree.bookmarks) {
            writeOne(b, folder, files.get(), label, existing);
            if (progress_) progress_(++done_);
        }
        if (files) files->finish();
        std::set<std::string> taken;  // the subfolder names this run gave
        for (const auto& sub : tree.folders) {
            if (sub.count() == 0) continue;
            const std::string base = SafeName(sub.name, "folder");
            std::string name = base;
            for (int n = 2; taken.count(foldKey(name)) || existing.isFile(name); ++n) {
                name = base + " (" + std::to_string(n) + ")";
            }
            taken.insert(foldKey(name));
            write(sub, folder + name + kPaths.separator(), label + name + "\\");
        }
    }

  private:
    // What a folder holds already: names (as Windows compares them) and the
    // addresses of its favorites.
    struct Existing {
        std::set<std::string> names;
        std::set<std::string> files;
        std::set<std::string> urls;
        bool isFile(const std::string& name) const { return files.count(foldKey(name)) > 0; }
    };

    Existing scan(const std::string& folder) {
        Existing e;
        auto opened = catalog_.fileSystem().openFolder(folder);
        if (!opened) return e;
        const auto entries = opened->entries();
        if (!entries) return e;
        std::string bytes;
        for (const auto& entry : *entries) {
            e.names.insert(foldKey(entry.name));
            if (entry.attributes & platform::kDirectory) continue;
            e.files.insert(foldKey(entry.name));
            if (opened->readFile(entry.name, bytes)) {
                e.urls.insert(catalog_.profile().valueIn(bytes, kShortcutSection, kUrlKey));
            }
        }
        return e;
    }

    void refuse(const std::string& path, std::string reason, WriteStatus status = {}) {
        summary_.refused.push_back({path, std::move(reason), status});
    }

    void refuseAll(const BookmarkFolder& tree, const std::string& label, const std::string& why) {
        for (const auto& b : tree.bookmarks) {
            refuse(label + SafeName(b.title, "bookmark") + ".url", why);
            if (progress_) progress_(++done_);
        }
        for (const auto& sub : tree.folders)
            refuseAll(sub, label + SafeName(sub.name, "folder") + "\\", why);
    }

    // Writes `b` into `folder` through `files` (nullptr in a dry run).
    void writeOne(const Bookmark& b, const std::string& folder, platform::NewFiles* files,
                  const std::string& label, Existing& existing) {
        const std::string url = oneLine(b.url);
        if (existing.urls.count(url)) {
            ++summary_.duplicates;
            return;
        }
        const std::string host = hostOf(url);
        const std::string base = SafeName(b.title, host.empty() ? "bookmark" : host);
        const auto bytes = fileBytes(url, b.comment);
        if (!bytes) {
            refuse(label + base + ".url", "the code page cannot hold its address or comment",
                   failed(WriteStatus::Kind::Unencodable));
            return;
        }
        for (int n = 1;; ++n) {
            const std::string name =
                (n == 1 ? base : base + " (" + std::to_string(n) + ")") + ".url";
            if (existing.names.count(foldKey(name))) continue;
            if (files) {
                const auto r = files->create(name, *bytes);
                // Taken meanwhile by another program: the next number.
                if (r.error == platform::IoError::Exists) continue;
                if (!r) {
                    refuse(label + name, "cannot write the file: " + describe(r),
                           failed(WriteStatus::Kind::WriteFailed, r));
                    return;
                }
            }
            existing.names.insert(foldKey(name));
            existing.files.insert(foldKey(name));
            existing.urls.insert(url);
            ++summary_.imported;
            summary_.written.push_back(folder + name);
            return;
        }
    }

    // A new Internet Shortcut file with the address and the comment, in the
    // code page; nullopt when the code page cannot hold them.
    std::optional<std::string> fileBytes(const std::string& url, const std::string& comment) const {
        const auto& cp = catalog_.profile().codePage();
        const auto u = cp.encode(url);
        const auto c = cp.encode(oneLine(comment));
        if (!u || !c) return std::nullopt;
        std::string text = setProfileValue({}, kShortcutSection, kUrlKey, *u, cp);
        return setProfileValue(text, kCommentSection, kCommentKey, *c, cp);
    }

    const Catalog& catalog_;
    bool dryRun_;
    const std::function<void(std::size_t)>& progress_;
    ImportSummary& summary_;
    std::size_t done_ = 0;
    std::set<std::string> made_;  // folders made, or in a dry run to be made
};

}  // namespace

std::size_t BookmarkFolder::count() const {
    std::size_t n = bookmarks.size();
    for (const auto& f : folders)
        n += f.count();
    return n;
}

std::string SafeName(std::string_view text, std::string_view fallback) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t pos = 0; pos < text.size() && chars < kMaxNameChars; ++chars) {
        const std::size_t start = pos;
        const char32_t c = utf8::next(text, pos);
        if (utf8::isControl(c) ||
            std::u32string_view(U"\\/:*?\"<>|").find(c) != std::u32string_view::npos) {
            out += '_';
        } else if (c == utf8::kInvalid && pos - start == 1) {
            out += '_';
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    // Blanks at either end would be lost or hidden; dots in front hide the
    // file, dots behind are dropped by Windows.
    const auto first = out.find_first_not_of(". ");
    out = first == std::string::npos ? std::string() : out.substr(first);
    while (!out.empty() && (out.back() == '.' || out.back() == ' '))
        out.pop_back();
    if (out.empty()) return fallback.empty() ? std::string("_") : SafeName(fallback, "_");
    if (isReservedDevice(out)) out.insert(0, "_");
    return out;
}

ImportSummary ImportBookmarks(const Catalog& catalog, const BookmarkFolder& tree,
                              std::string_view into, bool dryRun,
                              const std::function<void(std::size_t)>& progress) {
    ImportSummary summary;
    std::string folder = FullPath(catalog.FavoritesRoot(), std::string(into) + "/");
    const std::string label = FolderLabel(catalog.FavoritesRoot(), folder);
    Writer(catalog, dryRun, progress, summary).write(tree, folder, label);
    return summary;
}

}  // namespace brim::core::import
