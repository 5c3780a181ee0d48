#pragma once
// The catalogue of what the walks read from the favorites, kept between runs
// so that a file is read again only when its stamp says it may have changed.
//
// The files stay the only data: an entry serves only while the listing gives
// its file the same device, number, size, write time and change time as when
// it was read. A file changed so shortly before it was read that another
// change could keep its stamp (racily clean, as git's index calls it) is not
// kept, and is read again next time. A cache file that is missing, damaged,
// of another version, root or code page is taken as empty; one that cannot
// be written is left as it was.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/Profile.h"
#include "core/Walk.h"
#include "platform/FileSystem.h"

namespace brim::core {

// What one file held when it was read, and the stamp it had then.
struct CachedFile {
    std::string disk;  // its name in its folder, bytes as on disk
    platform::FileStamp stamp;
    ShortcutValues values;
};

class RowCache {
  public:
    // A cache of the tree at `favoritesRoot` read in the code page `codePage`.
    RowCache(std::string favoritesRoot, std::string codePage);

    // The cache file of that tree and code page in `cacheFolder` (ending in
    // the separator); empty when there is no cache folder.
    static std::string fileFor(const std::string& cacheFolder, const std::string& favoritesRoot,
                               const std::string& codePage);

    // Takes the entries of a cache file's bytes; false, leaving the cache
    // empty, when they are not a whole cache of this tree, code page and
    // program version.
    bool load(std::string bytes);
    // The whole cache as a cache file's bytes.
    std::string serialize() const;

    // Reads the cache file `path`; a missing or unusable one leaves it empty.
    void loadFile(platform::FileSystem& fs, const std::string& path);
    // Writes the cache to `path` when it changed since it was loaded or
    // written, in one step (a reader finds the old file or the new one);
    // its folder is made when missing. False when it could not be written.
    bool saveFile(platform::FileSystem& fs, const std::string& path);

    // Reads one folder's files through the cache; made and used on one
    // thread, any number of them at once.
    class Folder {
      public:
        Folder(RowCache* cache, const Profile& profile, const std::string& path,
               const FolderContents& contents);
        // The address and comment of the file `name` of the folder: the
        // entry's when its stamp is as recorded, else the file's own.
        ShortcutValues read(const ListedName& name, std::string& bytes);
        // Every file was read: the cache keeps what this folder holds now.
        void keep();

      private:
        // An entry as recorded, viewing the cache's own text.
        struct Recorded {
            std::string_view disk;
            platform::FileStamp stamp;
            struct {
                std::string_view url;
                std::string_view comment;
            } values;
            bool operator<(const Recorded& o) const { return disk < o.disk; }
        };

        RowCache* cache_;
        const Profile& profile_;
        const std::string& path_;
        const FolderContents& contents_;
        // What the views of old_ lie in, held while the folder is read.
        std::shared_ptr<const std::string> text_;
        std::vector<Recorded> old_;            // sorted by name
        std::vector<const Recorded*> served_;  // entries that were as recorded
        std::vector<CachedFile> fresh_;        // files read now, kept for next time
        bool recorded_ = false;                // old_ is what the cache holds of the folder
        std::int64_t racyFrom_ = 0;            // stamps this recent do not vouch for what was read
    };

    // After a whole walk of the tree: forgets the folders it did not meet.
    void forgetUnvisited();

    // The file last written is gone: the next save writes it whole again.
    void forgetSaved();

    // Whether an entry of the folder `path` is recorded: where none is, a
    // walk reads every file of it and its listing need not stamp them.
    bool holds(const std::string& path) const;

    std::size_t fileCount() const;
    bool changed() const;

    // The clock that tells how recent a change is; the system's unless a test
    // sets another.
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    void setClock(Clock clock) { clock_ = std::move(clock); }

  private:
    // One folder's entries as the cache file holds them (their count, then
    // each entry, sorted by name), in the file's bytes as loaded or in a text
    // of their own once a walk changed them: a few bytes a row, however many
    // rows, and read only when the folder is, on the thread that reads it.
    struct Entries {
        std::shared_ptr<const std::string> owner;  // what `text` lies in
        std::string_view text;
        std::size_t count = 0;
    };
    Entries folder(const std::string& path) const;
    void store(const std::string& path, std::string text, std::size_t count);
    void keepAsItWas(const std::string& path);

    std::string root_;
    std::string codePage_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entries> folders_;
    std::unordered_set<std::string> visited_;
    bool changed_ = true;  // nothing was loaded yet
    Clock clock_ = [] { return std::chrono::system_clock::now(); };
};

}  // namespace brim::core
