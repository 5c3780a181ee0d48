#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <system_error>

#include "core/import/Readers.h"

namespace brim::core::import {
namespace {

namespace fs = std::filesystem;

// A fresh folder for the copy, removed with it.
class TempCopy {
  public:
    TempCopy() {
        std::random_device rd;
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            fs::path p = fs::temp_directory_path() / ("brimmark-places-" + std::to_string(rd()));
            std::error_code ec;
            if (fs::create_directory(p, ec)) dir_ = p;
        }
    }
    ~TempCopy() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
    const fs::path& dir() const { return dir_; }

  private:
    fs::path dir_;
};

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

struct Row {
    std::int64_t id = 0;
    int type = 0;  // 1 bookmark, 2 folder, 3 separator
    std::int64_t parent = 0;
    std::int64_t fk = 0;
    std::string title;
    std::string url;
    std::string guid;
};

std::string column(sqlite3_stmt* s, int i) {
    const auto* t = sqlite3_column_text(s, i);
    return t ? reinterpret_cast<const char*>(t) : "";
}

class Places {
  public:
    explicit Places(sqlite3* db) : db_(db) {}

    bool load(std::string& error) {
        const bool ok = query(
            "SELECT b.id, b.type, b.parent, IFNULL(b.fk, 0), IFNULL(b.title, ''), "
            "IFNULL(p.url, ''), IFNULL(b.guid, '') FROM moz_bookmarks b "
            "LEFT JOIN moz_places p ON b.fk = p.id ORDER BY b.parent, b.position, b.id",
            [&](sqlite3_stmt* s) {
                Row r{sqlite3_column_int64(s, 0),
                      sqlite3_column_int(s, 1),
                      sqlite3_column_int64(s, 2),
                      sqlite3_column_int64(s, 3),
                      column(s, 4),
                      column(s, 5),
                      column(s, 6)};
                children_[r.parent].push_back(rows_.size());
                if (r.guid.size() == 12) byGuid_[r.guid] = r.id;
                byId_[r.id] = rows_.size();
                rows_.push_back(std::move(r));
            },
            error);
        if (!ok) return false;
        // Older versions keep descriptions as annotations; newer have none.
        std::string ignored;
        query(
            "SELECT a.item_id, a.content FROM moz_items_annos a JOIN moz_anno_attributes n "
            "ON a.anno_attribute_id = n.id WHERE n.name = 'bookmarkProperties/description'",
            [&](sqlite3_stmt* s) { descriptions_[sqlite3_column_int64(s, 0)] = column(s, 1); },
            ignored);
        // A tag is a folder under the tags root holding a bookmark of each place.
        if (const auto tags = byGuid_.find("tags________"); tags != byGuid_.end()) {
            for (const std::size_t t : children_[tags->second]) {
                for (const std::size_t b : children_[rows_[t].id]) {
                    if (rows_[b].fk) tagsOf_[rows_[b].fk].push_back(rows_[t].title);
                }
            }
        }
        return true;
    }

    BookmarkFolder tree() {
        BookmarkFolder top;
        if (const auto menu = byGuid_.find("menu________"); menu != byGuid_.end()) {
            fill(menu->second, top, 0);
        }
        for (const auto& [guid, name] : {std::pair{"toolbar_____", "ブックマークツールバー"},
                                         {"unfiled_____", "他のブックマーク"},
                                         {"mobile______", "モバイルブックマーク"}}) {
            const auto root = byGuid_.find(guid);
            if (root == byGuid_.end()) continue;
            BookmarkFolder folder;
            folder.name = name;
            fill(root->second, folder, 0);
            top.folders.push_back(std::move(folder));
        }
        return top;
    }

  private:
    template <typename Each>
    bool query(const char* sql, Each each, std::string& error) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK) {
            error = sqlite3_errmsg(db_);
            sqlite3_finalize(raw);
            return false;
        }
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
        int rc;
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
            each(stmt.get());
        if (rc != SQLITE_DONE) {
            error = sqlite3_errmsg(db_);
            return false;
        }
        return true;
    }

    void fill(std::int64_t id, BookmarkFolder& folder, int depth) {
        // A damaged database may loop; no real tree is this deep.
        if (depth > 200 || !visited_.insert(id).second) return;
        for (const std::size_t i : children_[id]) {
            const Row& r = rows_[i];
            if (r.type == 1) {
                // "place:" addresses are the browser's saved queries, not pages.
                if (r.url.empty() || r.url.starts_with("place:")) continue;
                std::string comment = descriptions_[r.id];
                for (const auto& tag : tagsOf_[r.fk])
                    comment += (comment.empty() ? "" : " ") + tag;
                folder.bookmarks.push_back({r.title, r.url, std::move(comment)});
            } else if (r.type == 2) {
                BookmarkFolder sub;
                sub.name = r.title;
                fill(r.id, sub, depth + 1);
                folder.folders.push_back(std::move(sub));
            }
        }
    }

    sqlite3* db_;
    std::vector<Row> rows_;
    std::map<std::int64_t, std::vector<std::size_t>> children_;
    std::map<std::string, std::int64_t> byGuid_;
    std::map<std::int64_t, std::size_t> byId_;
    std::map<std::int64_t, std::string> descriptions_;
    std::map<std::int64_t, std::vector<std::string>> tagsOf_;
    std::set<std::int64_t> visited_;
};

}  // namespace

ReadResult ReadFirefoxPlaces(const std::string& path) {
    ReadResult result;
    const fs::path source = pathOf(path);
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) {
        result.error = "no Firefox bookmark database at " + path;
        return result;
    }
    TempCopy copy;
    if (copy.dir().empty()) {
        result.error = "cannot make a temporary folder for the copy";
        return result;
    }
    // The write-ahead log holds the newest changes while Firefox runs.
    const fs::path db = copy.dir() / "places.sqlite";
    for (const char* suffix : {"", "-wal"}) {
        const fs::path from = pathOf(path + suffix);
        if (*suffix && !fs::exists(from, ec)) continue;
        if (!fs::copy_file(from, fs::path(db) += suffix, ec)) {
            result.error = "cannot copy " + path + suffix + ": " + ec.message();
            return result;
        }
    }
    // SQLite takes UTF-8 names on every system; Windows' narrow ones are ANSI.
    const std::u8string name = db.u8string();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(std::string(name.begin(), name.end()).c_str(), &raw,
                                   SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> handle(raw, sqlite3_close);
    if (rc != SQLITE_OK) {
        result.error = "cannot open the bookmark database: " + std::string(sqlite3_errstr(rc));
        return result;
    }
    Places places(handle.get());
    std::string error;
    if (!places.load(error)) {
        result.error = "not a Firefox bookmark database: " + error;
        return result;
    }
    result.tree = places.tree();
    return result;
}

}  // namespace brim::core::import
