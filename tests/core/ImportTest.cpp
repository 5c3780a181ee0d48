#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "core/Export.h"
#include "core/Paths.h"
#include "core/Sessions.h"
#include "core/import/Bookmarks.h"
#include "core/import/Readers.h"
#include "core/import/Sources.h"

namespace brim::core::import {
namespace {

// A tree as "folder\\name → url | comment" lines, for comparing whole trees.
void flatten(const BookmarkFolder& f, const std::string& prefix, std::vector<std::string>& out) {
    for (const auto& b : f.bookmarks)
        out.push_back(prefix + b.title + " → " + b.url + " | " + b.comment);
    for (const auto& sub : f.folders)
        flatten(sub, prefix + sub.name + "\\", out);
}
std::vector<std::string> flat(const BookmarkFolder& f) {
    std::vector<std::string> out;
    flatten(f, "", out);
    return out;
}

TEST(SafeName, MakesNamesBothSystemsTake) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"News", "News"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"tab\there\nline\x1b", "tab_here_line_"},
        {"CON", "_CON"},
        {"con.txt", "_con.txt"},
        {"Com1", "_Com1"},
        {"COM0", "COM0"},
        {"LPT9.x", "_LPT9.x"},
        {"Console", "Console"},
        {"..hidden", "hidden"},
        {"trailing. . ", "trailing"},
        {"  blanks  ", "blanks"},
        {"...", "fallback"},
        {"", "fallback"},
        {"日本語の名前", "日本語の名前"},
        {std::string(150, 'x'), std::string(100, 'x')},
        {std::string(99, 'x') + "日本", std::string(99, 'x') + "日"},
    };
    for (const auto& [in, want] : cases) {
        EXPECT_EQ(SafeName(in, "fallback"), want) << in;
    }
}

const char* const kChromium = R"({
 "checksum": "0",
 "roots": {
  "bookmark_bar": {"children": [
     {"type": "url", "name": "Debian", "url": "https://www.debian.org/"},
     {"type": "folder", "name": "技術", "children": [
        {"type": "url", "name": "CMake", "url": "https://cmake.org/"},
        {"type": "folder", "name": "空", "children": []}]}],
   "name": "Bookmarks bar", "type": "folder"},
  "other": {"children": [{"type": "url", "name": "Other", "url": "http://o/"}],
            "name": "Other bookmarks", "type": "folder"},
  "synced": {"children": [], "name": "Mobile bookmarks", "type": "folder"}
 },
 "version": 1
})";

TEST(ChromiumBookmarks, ReadsTheTreeInOrder) {
    const ReadResult r = ReadChromiumBookmarks(kChromium);
    ASSERT_TRUE(r.tree) << r.error;
    EXPECT_EQ(flat(*r.tree), (std::vector<std::string>{
                                 "ブックマーク バー\\Debian → https://www.debian.org/ | ",
                                 "ブックマーク バー\\技術\\CMake → https://cmake.org/ | ",
                                 "その他のブックマーク\\Other → http://o/ | ",
                             }));
    EXPECT_EQ(r.tree->count(), 3u);
}

TEST(ChromiumBookmarks, DamagedFilesGiveAnError) {
    const std::string whole = kChromium;
    for (const std::string& bad :
         {whole.substr(0, whole.size() / 2), std::string("[]"), std::string("{\"roots\": 3}"),
          std::string(R"({"roots": {"other": {"children": 5}}})"),
          std::string(R"({"roots": {"other": {"children": [{"type": "url", "name": 7}]}}})"),
          std::string("")}) {
        const ReadResult r = ReadChromiumBookmarks(bad);
        EXPECT_FALSE(r.tree) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
    }
}

// As Firefox exports: the menu at the top, the toolbar as a folder, tags,
// descriptions, separators.
const char* const kFirefoxExport = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy"
      content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>

<DL><p>
    <DT><A HREF="https://www.mozilla.org/" ADD_DATE="1" LAST_MODIFIED="2" TAGS="web,mozilla">Mozilla &amp; Co</A>
    <DD>The &lt;browser&gt; maker
    <HR>
    <DT><H3 ADD_DATE="1" LAST_MODIFIED="2" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
    <DL><p>
        <DT><A HREF="http://t/" ADD_DATE="1">Toolbar link</A>
        <DT><H3>Nested</H3>
        <DL><p>
            <DT><A HREF="http://n/">Deep</A>
            <DD>深い説明
        </DL><p>
        <DT><A HREF="http://after/">After nested</A>
    </DL><p>
    <DT><A HREF="http://last/">Last</A>
</DL>
)";

// As Chromium exports: everything inside folders, no descriptions.
const char* const kChromiumExport = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1" LAST_MODIFIED="0" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
    <DL><p>
        <DT><A HREF="https://www.debian.org/" ADD_DATE="1" ICON="data:image/png;base64,AA==">Debian</A>
        <DT><H3 ADD_DATE="1" LAST_MODIFIED="0">ニュース</H3>
        <DL><p>
            <DT><A HREF="https://www3.nhk.or.jp/news/" ADD_DATE="1">NHK</A>
        </DL><p>
    </DL><p>
</DL><p>
)";

TEST(NetscapeBookmarks, ReadsWhatBrowsersExport) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<std::string> want;
    };
    const std::vector<Case> cases = {
        {"Firefox",
         kFirefoxExport,
         {"Mozilla & Co → https://www.mozilla.org/ | The <browser> maker web mozilla",
          "Last → http://last/ | ", "Bookmarks Toolbar\\Toolbar link → http://t/ | ",
          "Bookmarks Toolbar\\After nested → http://after/ | ",
          "Bookmarks Toolbar\\Nested\\Deep → http://n/ | 深い説明"}},
        {"Chromium",
         kChromiumExport,
         {"Bookmarks bar\\Debian → https://www.debian.org/ | ",
          "Bookmarks bar\\ニュース\\NHK → https://www3.nhk.or.jp/news/ | "}},
    };
    for (const auto& c : cases) {
        const ReadResult r = ReadNetscapeBookmarks(c.text);
        ASSERT_TRUE(r.tree) << c.what << ": " << r.error;
        EXPECT_EQ(flat(*r.tree), c.want) << c.what;
    }
}

TEST(NetscapeBookmarks, FilesInOtherCharsetsAreReadOrRefused) {
    const auto file = [](const std::string& charset, const std::string& title) {
        return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
               "CONTENT=\"text/html; charset=" +
               charset + "\">\n<DL><p>\n<DT><A HREF=\"http://a/\">" + title + "</A>\n</DL><p>\n";
    };
    const struct {
        std::string html;
        const char* title;  // nullptr: refused, saying which charset
    } cases[] = {
        {file("ISO-8859-1", "caf\xe9"), "café"},
        {file("UTF-8", "caf\xc3\xa9"), "café"},
    // Shift_JIS, as older Japanese browsers export: Windows' libxml2 has no iconv.
#ifdef _WIN32
        {file("Shift_JIS", "\x83\x6a\x83\x85\x81\x5b\x83\x58"), nullptr},
#else
        {file("Shift_JIS", "\x83\x6a\x83\x85\x81\x5b\x83\x58"), "ニュース"},
#endif
        {file("x-no-such-charset", "caf\xe9"), nullptr},
    };
    for (const auto& c : cases) {
        const ReadResult r = ReadNetscapeBookmarks(c.html);
        if (!c.title) {
            EXPECT_FALSE(r.tree) << c.html;
            EXPECT_NE(r.error.find("a charset this build cannot read"), std::string::npos)
                << r.error;
            continue;
        }
        ASSERT_TRUE(r.tree) << c.html << r.error;
        EXPECT_EQ(flat(*r.tree),
                  std::vector<std::string>{std::string(c.title) + " → http://a/ | "});
    }
}

TEST(NetscapeBookmarks, DamagedFilesGiveAnError) {
    const std::string whole = kFirefoxExport;
    const std::vector<std::string> bad = {
        "",
        "<html><body><a href=\"http://x/\">x</a></body></html>",      // no header
        whole.substr(0, whole.find("<DT><A HREF=\"http://n/\"")),     // cut short
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n",  // no list at all
    };
    for (const auto& b : bad) {
        const ReadResult r = ReadNetscapeBookmarks(b);
        EXPECT_FALSE(r.tree) << b;
        EXPECT_FALSE(r.error.empty());
    }
}

// A places.sqlite with the tables and root folders Firefox makes.
class FirefoxPlacesTest : public testing::Test {
  protected:
    test::TempDir dir;
    std::string path = dir / "places.sqlite";

    void exec(sqlite3* db, const std::string& sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    }

    void make(const std::string& extra) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        exec(db,
             "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title "
             "LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER "
             "DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 "
             "NOT NULL, last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT "
             "NULL, url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url "
             "TEXT, origin_id INTEGER);"
             "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER "
             "DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id "
             "INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, "
             "syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT "
             "1);"
             "CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE "
             "NOT NULL);"
             "CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, "
             "anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, "
             "expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, "
             "lastModified INTEGER DEFAULT 0);"
             "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
             "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),"
             "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),"
             "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', "
             "'mobile______');" +
                 extra);
        sqlite3_close(db);
    }
};

TEST_F(FirefoxPlacesTest, ReadsRootsFoldersTagsAndDescriptions) {
    make(
        "INSERT INTO moz_places (id, url, title) VALUES (1, 'https://www.mozilla.org/', 'M'),"
        "(2, 'http://t/', 'T'), (3, 'place:sort=8&maxResults=10', 'Recent'), (4, 'http://n/', "
        "'N'), (5, 'http://u/', 'U');"
        "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES "
        "(10, 1, 1, 2, 1, 'Mozilla', 'aaaaaaaaaaaa'), (11, 3, NULL, 2, 0, '', 'sepsepsepsep'),"
        "(12, 1, 3, 2, 2, 'Recent', 'qqqqqqqqqqqq'), (13, 2, NULL, 3, 0, '技術', 'ffffffffffff'),"
        "(14, 1, 4, 13, 0, 'Nested', 'nnnnnnnnnnnn'), (15, 1, 2, 3, 1, 'Toolbar', 'tttttttttttt'),"
        "(16, 1, 5, 5, 0, 'Unfiled', 'uuuuuuuuuuuu'),"
        "(20, 2, NULL, 4, 0, 'web', 'tag1tag1tag1'), (21, 1, 1, 20, 0, NULL, 'tb1tb1tb1tb1'),"
        "(22, 2, NULL, 4, 1, 'mozilla', 'tag2tag2tag2'), (23, 1, 1, 22, 0, NULL, "
        "'tb2tb2tb2tb2');"
        "INSERT INTO moz_anno_attributes VALUES (1, 'bookmarkProperties/description');"
        "INSERT INTO moz_items_annos (item_id, anno_attribute_id, content) VALUES (14, 1, "
        "'説明');");
    const ReadResult r = ReadFirefoxPlaces(path);
    ASSERT_TRUE(r.tree) << r.error;
    EXPECT_EQ(flat(*r.tree), (std::vector<std::string>{
                                 "Mozilla → https://www.mozilla.org/ | web mozilla",
                                 "ブックマークツールバー\\Toolbar → http://t/ | ",
                                 "ブックマークツールバー\\技術\\Nested → http://n/ | 説明",
                                 "他のブックマーク\\Unfiled → http://u/ | ",
                             }));
}

TEST_F(FirefoxPlacesTest, ReadsFromACopyAndLeavesTheFileAsItWas) {
    make(
        "INSERT INTO moz_places (id, url) VALUES (1, 'http://a/');"
        "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title) VALUES "
        "(10, 1, 1, 2, 0, 'A');");
    const std::string before = test::readFile(path);
    ASSERT_TRUE(ReadFirefoxPlaces(path).tree);
    EXPECT_EQ(test::readFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
    EXPECT_FALSE(std::filesystem::exists(path + "-shm"));
}

TEST_F(FirefoxPlacesTest, DamagedDatabasesGiveAnError) {
    make("INSERT INTO moz_places (id, url) VALUES (1, 'http://a/');");
    const std::string whole = test::readFile(path);
    struct Case {
        const char* what;
        std::string bytes;
    };
    for (const Case& c : {Case{"not a database", "plain text, not SQLite"},
                          Case{"cut short", whole.substr(0, 1000)}, Case{"empty", ""}}) {
        test::writeFile(path, c.bytes);
        const ReadResult r = ReadFirefoxPlaces(path);
        EXPECT_FALSE(r.tree) << c.what;
        EXPECT_FALSE(r.error.empty()) << c.what;
    }
    EXPECT_FALSE(ReadFirefoxPlaces(dir / "missing.sqlite").tree);
}

class ImportTest : public test::CatalogFixture {
  protected:
    // "folder\\file.url → URL | comment" of every file below `folder`.
    std::vector<std::string> filesBelow(const std::string& label) {
        std::vector<std::string> out;
        catalog.ListDir(FullPath(root, label), [&](FavoriteItem&& row) {
            const auto v = profile.ReadShortcut(FullPath(root, row.folder + row.name));
            out.push_back(row.folder + row.name + " → " + v.url + " | " + v.comment);
        });
        std::sort(out.begin(), out.end());
        return out;
    }
    static BookmarkFolder sampleTree() {
        BookmarkFolder tree;
        tree.bookmarks = {{"Debian", "https://www.debian.org/", "Linux"},
                          {"Debian", "https://debian.example/", ""},  // same name
                          {"CON", "http://con/", ""},
                          {"", "http://untitled.example/path", ""},
                          {"dup", "https://www.debian.org/", "twice"}};  // same address
        BookmarkFolder sub{"技術", {{"CMake", "https://cmake.org/", "ビルド"}}, {}};
        sub.folders.push_back({"空", {}, {{"より空", {}, {}}}});
        tree.folders.push_back(std::move(sub));
        tree.folders.push_back({"技術", {{"Qt", "https://doc.qt.io/", ""}}, {}});  // same name
        return tree;
    }
};

TEST_F(ImportTest, WritesEachBookmarkOnceWithSafeUniqueNames) {
    std::vector<std::size_t> progress;
    const ImportSummary s = ImportBookmarks(catalog, sampleTree(), "\\Firefox\\", false,
                                            [&](std::size_t n) { progress.push_back(n); });
    EXPECT_EQ(s.imported, 6u);
    EXPECT_EQ(s.duplicates, 1u);
    EXPECT_TRUE(s.refused.empty());
    EXPECT_EQ(progress.back(), 7u);
    EXPECT_EQ(filesBelow("\\Firefox\\"),
              (std::vector<std::string>{
                  "\\Firefox\\Debian (2).url → https://debian.example/ | ",
                  "\\Firefox\\Debian.url → https://www.debian.org/ | Linux",
                  "\\Firefox\\_CON.url → http://con/ | ",
                  "\\Firefox\\untitled.example.url → http://untitled.example/path | ",
                  "\\Firefox\\技術 (2)\\Qt.url → https://doc.qt.io/ | ",
                  "\\Firefox\\技術\\CMake.url → https://cmake.org/ | ビルド",
              }));
    // Folders without bookmarks are not made.
    EXPECT_FALSE(fs.attributes(root + "Firefox/技術/空"));
    EXPECT_EQ(s.written.size(), 6u);
}

TEST_F(ImportTest, NeverReplacesAFileAndSkipsKnownAddresses) {
    test::writeShortcut(root + "Firefox/debian.url", "http://mine/", "my own");
    const std::string mine = test::readFile(root + "Firefox/debian.url");
    const ImportSummary first = ImportBookmarks(catalog, sampleTree(), "Firefox", false);
    EXPECT_EQ(test::readFile(root + "Firefox/debian.url"), mine);
    // The name is taken without regard to case: the bookmark gets the next one.
    EXPECT_EQ(profile.ReadShortcutUrl(root + "Firefox/Debian (2).url"), "https://www.debian.org/");
    EXPECT_EQ(first.imported, 6u);
    // Importing again adds nothing: every address is there already.
    const ImportSummary again = ImportBookmarks(catalog, sampleTree(), "Firefox", false);
    EXPECT_EQ(again.imported, 0u);
    EXPECT_EQ(again.duplicates, 7u);
    EXPECT_EQ(again.foldersCreated, 0u);
}

TEST_F(ImportTest, DryRunWritesNothing) {
    test::makeFolders(root);
    const ImportSummary s = ImportBookmarks(catalog, sampleTree(), "New\\Deeper", true);
    EXPECT_EQ(s.imported, 6u);
    EXPECT_EQ(s.foldersCreated, 4u);  // New, Deeper, 技術, 技術 (2)
    EXPECT_FALSE(fs.attributes(root + "New"));
}

TEST_F(ImportTest, WhatCannotBeWrittenIsRefusedWithItsReason) {
    BookmarkFolder tree;
    tree.bookmarks = {{"emoji", "http://e/", "\U0001F600"},  // CP932 has no emoji
                      {"full", "http://f/", ""},
                      {"fine", "http://ok/", ""}};
    test::makeFolders(root + "In");
    fs.unwritable.insert(root + test::native("In/full.url"));
    const ImportSummary s = ImportBookmarks(catalog, tree, "In", false);
    ASSERT_EQ(s.refused.size(), 2u);
    EXPECT_EQ(s.refused[0].status.kind, WriteStatus::Kind::Unencodable);
    EXPECT_EQ(s.refused[0].path, "\\In\\emoji.url");
    EXPECT_EQ(s.refused[1].status.io.error, platform::IoError::NoSpace);
    EXPECT_EQ(s.imported, 1u);
    EXPECT_EQ(filesBelow("\\In\\"), (std::vector<std::string>{"\\In\\fine.url → http://ok/ | "}));
}

TEST_F(ImportTest, BrimmarksOwnBookmarkFileImportsToTheSameTree) {
    namespace sfs = std::filesystem;
    sfs::create_directories(root);
    sfs::copy(BRIMMARK_EXAMPLES_DIR "/Favorites", root + "Original", sfs::copy_options::recursive);
    const Catalog original(fs, profile, root + "Original/");
    std::vector<ListRow> rows;
    original.ListDir(original.FavoritesRoot(), [&](FavoriteItem&& r) {
        rows.push_back({r.name, r.folder});
    });
    ASSERT_GT(rows.size(), 30u);
    const std::string file = Exporter(original).NetscapeFile(rows, false, 0);
    const ReadResult r = ReadNetscapeBookmarks(file);
    ASSERT_TRUE(r.tree) << r.error;
    const ImportSummary s = ImportBookmarks(catalog, *r.tree, "Copy", false);
    EXPECT_EQ(s.imported, rows.size());
    std::vector<std::string> want, got = filesBelow("\\Copy\\");
    for (auto line : filesBelow("\\Original\\"))
        want.push_back(line.replace(0, std::string("\\Original\\").size(), "\\Copy\\"));
    EXPECT_EQ(got, want);
}

}  // namespace
}  // namespace brim::core::import

namespace brim::core::import {
namespace {

TEST(DefaultFirefoxProfile, TakesTheProfileFirefoxStartsWith) {
    struct Case {
        const char* what;
        const char* ini;
        std::optional<std::string> want;
    };
    const std::vector<Case> cases = {
        {"the install's choice wins",
         "[Profile1]\nPath=b.other\nDefault=1\n[Profile0]\nPath=a.default\n"
         "[Install4F96D1932A9F858E]\nDefault=a.default\nLocked=1\n",
         "/ff/a.default/"},
        {"else the marked one",
         "[Profile0]\nPath=a\n[Profile1]\nPath=/abs/b\nIsRelative=0\nDefault=1\n", "/abs/b/"},
        {"else the first", "[General]\nStartWithLastProfile=1\r\n[Profile0]\r\nPath=only\r\n",
         "/ff/only/"},
        {"an install naming no listed profile", "[Install1]\nDefault=gone\n[Profile0]\nPath=p\n",
         "/ff/p/"},
        {"none", "[General]\nVersion=2\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultFirefoxProfile(c.ini, test::native("/ff/")),
                  c.want ? std::optional(test::native(*c.want)) : std::nullopt)
            << c.what;
    }
}

struct FakeBrowsers final : platform::BrowserProfiles {
    std::vector<platform::BrowserFolder> folders;
    std::vector<platform::BrowserFolder> browserFolders() const override { return folders; }
    bool isRunning(platform::BrowserKind, const std::string&) const override { return false; }
};

TEST(LocateBookmarks, FindsEachBrowsersStore) {
    test::TempDir dir;
    test::FlakyFileSystem fs;
    test::writeFile(dir / "ff/profiles.ini", "[Profile0]\nPath=p0\nDefault=1\n");
    test::writeFile(dir / "ff/p0/places.sqlite", "");
    test::writeFile(dir / "chrome/Default/Bookmarks", "{}");
    FakeBrowsers browsers;
    const auto folder = [&](const char* name) { return dir / test::native(name); };
    browsers.folders = {{platform::BrowserKind::Firefox, folder("missing/"), "Mozilla Firefox"},
                        {platform::BrowserKind::Firefox, folder("ff/"), "Mozilla Firefox"},
                        {platform::BrowserKind::Chromium, folder("chromium/"), "Chromium"},
                        {platform::BrowserKind::Chromium, folder("chrome/"), "Google Chrome"}};
    EXPECT_EQ(LocateBookmarks(Source::Firefox, fs, browsers, {}, {}).file,
              folder("ff/p0/places.sqlite"));
    EXPECT_EQ(LocateBookmarks(Source::Chrome, fs, browsers, {}, {}).file,
              folder("chrome/Default/Bookmarks"));
    const Located none = LocateBookmarks(Source::Chromium, fs, browsers, {}, {});
    EXPECT_TRUE(none.file.empty());
    EXPECT_NE(none.error.find("Chromium"), std::string::npos);
    EXPECT_EQ(LocateBookmarks(Source::Chromium, fs, browsers, test::native("/p"), {}).file,
              test::native("/p/Bookmarks"));
    EXPECT_EQ(LocateBookmarks(Source::Firefox, fs, browsers, "/p/", "/f.sqlite").file, "/f.sqlite");
    EXPECT_FALSE(LocateBookmarks(Source::Netscape, fs, browsers, {}, {}).error.empty());
    EXPECT_EQ(DefaultFolderName(Source::Netscape, "/x/bookmarks.html"), "bookmarks");
    EXPECT_EQ(DefaultFolderName(Source::Chrome, {}), "Google Chrome");
}

}  // namespace
}  // namespace brim::core::import
