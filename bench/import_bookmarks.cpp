// Writes the bookmark stores that bench/import.sh times the import of:
//   brimmark-bench-import DIR [BOOKMARKS=100000] [PER_FOLDER=50]
// DIR/Bookmarks (Chromium), DIR/bookmarks.html (a Netscape file as browsers
// export it) and DIR/places.sqlite (Firefox's tables), each holding the same
// BOOKMARKS bookmarks with Japanese names in folders of PER_FOLDER.

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

// Firefox's tables, as far as the import reads them, with its root folders.
constexpr const char* kPlacesSchema =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
    "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, "
    "typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date "
    "INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT "
    "NULL, description TEXT, preview_image_url TEXT, origin_id INTEGER);"
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, "
    "parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, "
    "dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, "
    "syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);"
    "CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, "
    "anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER "
    "DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT "
    "0);"
    "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
    "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
    "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
    "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),"
    "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),"
    "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');";

class Places {
  public:
    explicit Places(const std::string& path) {
        ok_ = sqlite3_open(path.c_str(), &db_) == SQLITE_OK &&
              sqlite3_exec(db_, kPlacesSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db_, "INSERT INTO moz_places (id, url, title) VALUES (?, ?, ?)",
                                 -1, &place_, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db_,
                                 "INSERT INTO moz_bookmarks (id, type, fk, parent, position, "
                                 "title, guid) VALUES (?, ?, ?, ?, ?, ?, ?)",
                                 -1, &bookmark_, nullptr) == SQLITE_OK;
    }
    ~Places() {
        sqlite3_finalize(place_);
        sqlite3_finalize(bookmark_);
        sqlite3_close(db_);
    }
    Places(const Places&) = delete;
    Places& operator=(const Places&) = delete;

    // Adds a folder (no url) or a bookmark; returns its id.
    long add(long parent, long position, const std::string& title, const std::string& url = {}) {
        const long id = next_++;
        if (!url.empty()) {
            sqlite3_bind_int64(place_, 1, id);
            sqlite3_bind_text(place_, 2, url.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(place_, 3, title.c_str(), -1, SQLITE_TRANSIENT);
            step(place_);
        }
        sqlite3_bind_int64(bookmark_, 1, id);
        sqlite3_bind_int(bookmark_, 2, url.empty() ? 2 : 1);
        if (url.empty()) {
            sqlite3_bind_null(bookmark_, 3);
        } else {
            sqlite3_bind_int64(bookmark_, 3, id);
        }
        sqlite3_bind_int64(bookmark_, 4, parent);
        sqlite3_bind_int64(bookmark_, 5, position);
        sqlite3_bind_text(bookmark_, 6, title.c_str(), -1, SQLITE_TRANSIENT);
        const std::string guid = "bench" + std::to_string(id);
        sqlite3_bind_text(bookmark_, 7, guid.c_str(), -1, SQLITE_TRANSIENT);
        step(bookmark_);
        return id;
    }

    bool finish() { return ok_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == 0; }

  private:
    void step(sqlite3_stmt* s) {
        ok_ = ok_ && sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* place_ = nullptr;
    sqlite3_stmt* bookmark_ = nullptr;
    long next_ = 7;  // after the root folders
    bool ok_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [BOOKMARKS] [PER_FOLDER]\n", argv[0]);
        return 2;
    }
    const fs::path dir = argv[1];
    const long total = argc > 2 ? std::atol(argv[2]) : 100000;
    const long perFolder = argc > 3 ? std::max(1L, std::atol(argv[3])) : 50;
    fs::create_directories(dir);
    fs::remove(dir / "places.sqlite");

    std::string json = R"({"roots":{"bookmark_bar":{"type":"folder","name":"bar","children":[)";
    std::string html =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
        "CONTENT=\"text/html; charset=UTF-8\">\n<DL><p>\n";
    Places places((dir / "places.sqlite").string());
    for (long i = 0; i < total; i += perFolder) {
        const std::string folder = "フォルダ " + std::to_string(i / perFolder);
        json += (i ? "," : "") + std::string(R"({"type":"folder","name":")") + folder +
                R"(","children":[)";
        html += "<DT><H3>" + folder + "</H3>\n<DL><p>\n";
        const long folderId = places.add(2, i / perFolder, folder);
        for (long j = i; j < std::min(total, i + perFolder); ++j) {
            const std::string n = std::to_string(j);
            const std::string url = "https://example.jp/page/" + n;
            json += (j > i ? "," : "") + std::string(R"({"type":"url","name":"ページ )") + n +
                    R"(","url":")" + url + "\"}";
            html += "<DT><A HREF=\"" + url + "\">ページ " + n + "</A>\n<DD>説明 " + n + "\n";
            places.add(folderId, j - i, "ページ " + n, url);
        }
        json += "]}";
        html += "</DL><p>\n";
    }
    json += "]}}}";
    html += "</DL><p>\n";
    if (!writeText(dir / "Bookmarks", json) || !writeText(dir / "bookmarks.html", html) ||
        !places.finish()) {
        std::fprintf(stderr, "cannot write the stores into %s\n", dir.c_str());
        return 1;
    }
    std::printf(
        "%ld bookmarks in folders of %ld: Bookmarks %.1f MB, bookmarks.html %.1f MB, "
        "places.sqlite %.1f MB\n",
        total, perFolder, json.size() / 1e6, html.size() / 1e6,
        static_cast<double>(fs::file_size(dir / "places.sqlite")) / 1e6);
    return 0;
}
