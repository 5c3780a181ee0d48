// A Favorites tree made on Windows, and on POSIX as unpacked there: every
// favorite is listed, found, shown, saved, deleted and exported as the one
// file it is.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CatalogFixture.h"
#include "WindowsTree.h"
#include "core/DiskNames.h"
#include "core/Editing.h"
#include "core/Export.h"
#include "core/Paths.h"
#include "core/Search.h"

namespace brim::core {
namespace {

using test::kByteNames;
using test::TreeFavorite;

class WindowsTreeTest : public test::CatalogFixture {
  protected:
    std::vector<TreeFavorite> tree = test::makeWindowsTree(root);

    // Each favorite is still its one file, with these values.
    void expectOneFileEach(const std::string& what) {
        EXPECT_EQ(test::filesBelow(root), test::filesOf(tree)) << what;
        expectValues(what);
    }
    // Each favorite's file holds its values.
    void expectValues(const std::string& what) {
        for (const auto& f : tree) {
            const ShortcutValues v = profile.ReadShortcut(root + f.file);
            EXPECT_EQ(v.url, f.url) << what << ": " << f.name;
            EXPECT_EQ(v.comment, f.comment) << what << ": " << f.name;
        }
    }
};

TEST_F(WindowsTreeTest, EveryFavoriteIsListedOnceWithItsFileAndValues) {
    std::vector<FavoriteItem> rows;
    std::vector<WalkProblem> notes;
    ASSERT_TRUE(catalog.allFavorites(rows, [&](const WalkProblem& p) { notes.push_back(p); }));
    ASSERT_EQ(rows.size(), tree.size());
    for (const auto& f : tree) {
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const auto& r) { return r.path == root + f.file; });
        ASSERT_NE(row, rows.end()) << f.name;
        EXPECT_EQ(row->name, f.name);
        EXPECT_EQ(row->folder, f.folder);
        EXPECT_EQ(row->url, f.url) << f.name;
        EXPECT_EQ(row->comment, f.comment) << f.name;
    }
    // The folder 日本語 and the file 表示.url are in the code page; bad\xFF in none.
    ShownNameCount count;
    for (const auto& p : notes)
        count.note(p);
    std::vector<std::string> paths;
    for (const auto& r : rows)
        paths.push_back(r.path);
    EXPECT_EQ(count.among(paths).decoded, kByteNames ? 2u : 0u);
    EXPECT_EQ(count.among(paths).replaced, kByteNames ? 1u : 0u);
    // Only the rows shown count: without the Japanese folder's row, its two names go.
    std::erase_if(paths,
                  [&](const std::string& p) { return p.find(test::cp932("日本語")) != p.npos; });
    EXPECT_EQ(count.among(paths).decoded, 0u);
}

TEST_F(WindowsTreeTest, SearchFindsEveryFavoriteByEachField) {
    const Search search(catalog, mapper);
    const struct {
        const char* keyword;
        std::vector<std::string> names;
    } cases[] = {
        {"example",
         {"Index.URL", "News.Url", "Plain.url", "Wide.url",
#ifndef _WIN32
          "bad\uFFFD.url", "表示.url"
#endif
         }},
#ifndef _WIN32
        {"日本語", {"表示.url"}},  // the decoded folder
        {"表示", {"表示.url"}},    // the decoded name
        {"bad\uFFFD", {"bad\uFFFD.url"}},
#endif
        {"コメント", {"Plain.url"}},  // the UTF-8 file's comment
        {"ワイド", {"Wide.url"}},     // the UTF-16 file's comment
        {"index.url", {"Index.URL"}},
        {"desktop", {}},
        {"ShellClassInfo", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> found;
        ASSERT_TRUE(search.SearchDir(root, {c.keyword}, SearchOptions{},
                                     [&](FavoriteItem&& r) { found.push_back(r.name); }));
        std::sort(found.begin(), found.end());
        auto expected = c.names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected) << c.keyword;
    }
}

TEST_F(WindowsTreeTest, ShowFindsEachFileAsShownOrTypedInAnyCase) {
    for (const auto& f : tree) {
        const std::string shown = f.folder + f.name;
        std::string typed = FoldNameCase(shown);  // as a user might type it
        for (const auto& path : {shown, typed}) {
            EXPECT_EQ(catalog.locate(path), root + f.file) << path;
            const FavoriteFields fields = catalog.fieldsOf(path);
            EXPECT_EQ(fields.name, StripExtension(f.name)) << path;  // spelled as the file is
            EXPECT_EQ(fields.url, f.url) << path;
            EXPECT_EQ(fields.comment, f.comment) << path;
        }
    }
    // A name that is not there keeps its spelling, below the folder as on disk.
    EXPECT_EQ(catalog.locate("\\LINKS\\New.url"), root + test::native("Links/New.url"));
    EXPECT_EQ(catalog.locate("\\Nowhere\\x.url"), root + test::native("Nowhere/x.url"));
    if (kByteNames) {
        EXPECT_EQ(catalog.locate("\\日本語\\New.url"), root + test::cp932("日本語") + "/New.url");
    }
}

TEST_F(WindowsTreeTest, SavingEachFavoriteWritesItsOwnFile) {
    const struct {
        const char* what;
        bool newComment;
    } cases[] = {{"unchanged", false}, {"new comment", true}};
    for (const auto& c : cases) {
        for (auto& f : tree) {
            if (c.newComment) f.comment = "新しい" + f.comment + "コメント";
            const SaveRequest request{StripExtension(f.name), f.url, f.comment, f.folder};
            const SaveResult result = Savefiles(catalog, request);
            ASSERT_TRUE(result) << c.what << ": " << f.name << " " << describe(result.status);
            EXPECT_EQ(result.path, root + f.file) << c.what;
            // The name box keeps the name as shown, not a second extension.
            EXPECT_EQ(NameAfterSave(result, request), StripExtension(f.name));
            const std::string bytes = test::readFile(root + f.file);
            EXPECT_NE(bytes.find(test::inFileEncoding(f, f.comment)), std::string::npos)
                << c.what << ": " << f.name << " keeps its encoding";
        }
        expectOneFileEach(c.what);
    }
}

TEST_F(WindowsTreeTest, SaveWithANewNameMakesOneNewFileInTheFolderAsOnDisk) {
    const struct {
        const char* folder;  // as typed
        std::string onDisk;
    } cases[] = {
        {"\\links\\", "Links"},
#ifndef _WIN32
        {"\\日本語\\", test::cp932("日本語")},
#endif
    };
    std::size_t made = 0;
    for (const auto& c : cases) {
        const SaveResult result =
            Savefiles(catalog, {"新規", "http://new.example/", "c", c.folder});
        ASSERT_TRUE(result) << c.folder;
        EXPECT_EQ(result.path, root + c.onDisk + test::kSep + "新規.url");
        EXPECT_EQ(test::filesBelow(root).size(), tree.size() + ++made);
    }
}

TEST_F(WindowsTreeTest, DeleteDesignatesEachFile) {
    for (const auto& f : tree) {
        EXPECT_EQ(FavoritePath(catalog, f.folder, StripExtension(f.name)), root + f.file) << f.name;
        // As typed in other case.
        EXPECT_EQ(
            FavoritePath(catalog, FoldNameCase(f.folder), FoldNameCase(StripExtension(f.name))),
            root + f.file)
            << f.name;
    }
}

TEST_F(WindowsTreeTest, ExportsWriteEveryFavoriteAndNoSystemFile) {
    std::vector<FavoriteItem> items;
    ASSERT_TRUE(catalog.allFavorites(items));
    // Rows with their files, and rows of cells alone as an older list holds them.
    std::vector<ListRow> withFiles, cellsOnly;
    for (const auto& i : items) {
        withFiles.push_back({i.name, i.folder, i.path});
        cellsOnly.push_back({i.name, i.folder, {}});
    }
    const Exporter exporter(catalog);
    for (const auto* rows : {&withFiles, &cellsOnly}) {
        const std::string html = cp.decode(exporter.HtmlPage(*rows, false, {true, true}));
        const std::string csv = exporter.CsvFile(*rows, false, CsvEncoding::Utf8);
        const std::string bookmarks = exporter.NetscapeFile(*rows, false, 0);
        for (const auto& f : tree) {
            for (const std::string* out : {&html, &csv, &bookmarks}) {
                EXPECT_NE(out->find(f.url), std::string::npos) << f.name;
                if (!f.comment.empty()) {
                    EXPECT_NE(out->find(f.comment), std::string::npos) << f.name;
                }
            }
            EXPECT_NE(csv.find("\"" + StripExtension(f.name) + "\""), std::string::npos) << f.name;
        }
        for (const std::string* out : {&html, &csv, &bookmarks}) {
            EXPECT_EQ(out->find("ShellClassInfo"), std::string::npos);
            EXPECT_EQ(out->find("desktop"), std::string::npos);
        }
        // The bookmark file dates each favorite by its own file.
        EXPECT_EQ(bookmarks.find("ADD_DATE=\"\""), std::string::npos);
    }
    expectOneFileEach("export");
}

TEST_F(WindowsTreeTest, SystemFilesAreContentForEmptyFolderRemoval) {
    // The truly empty folder, below the folder in the code page where there is one.
    const std::string empty =
        root + (kByteNames ? test::cp932("日本語") : "Links") + test::kSep + "空";
    test::makeFolders(empty);
    std::vector<std::string> removed;
    std::vector<PruneProblem> problems;
    RemoveEmptyFolders(
        catalog, false, [&](const std::string& p) { removed.push_back(p); }, problems);
    // Only the truly empty folder goes.
    EXPECT_EQ(removed, std::vector<std::string>{empty});
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(test::filesBelow(root, true).size(), tree.size() + 4);
    expectOneFileEach("prune");
}

TEST(DiskNames, ShowNameAndCaseFolding) {
    const test::SystemCodePage cp("CP932");
    const struct {
        std::string disk;
        std::string shown;
        NameForm form;
    } names[] = {
        {"a.url", "a.url", NameForm::Utf8},
        {"ニュース.url", "ニュース.url", NameForm::Utf8},
        {test::cp932("表示.url"), "表示.url", NameForm::CodePage},
        {"x\xFF.url", "x\uFFFD.url", NameForm::Undecodable},
    };
    for (const auto& n : names) {
        const ShownName s = ShowName(n.disk, cp);
        EXPECT_EQ(s.text, n.shown);
        EXPECT_EQ(s.form, n.form) << n.shown;
    }
    const struct {
        const char* a;
        const char* b;
        bool same;
    } pairs[] = {
        {"Index.URL", "index.url", true}, {"ＡＢＣ.url", "ａｂｃ.url", true},
        {"Ωμέγα", "ΩΜέΓΑ", true},         {"Привет", "ПРИВЕТ", true},
        {"café", "CAFÉ", true},           {"ﾃｽﾄ", "テスト", false},  // width is not case
        {"あいう", "アイウ", false},      {"a\xFF", "A\xFF", true},
        {"a\xFF", "a\xFE", false},        {"ß", "SS", false},  // one letter stays one
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(sameNameUpToCase(p.a, p.b), p.same) << p.a << " / " << p.b;
    }
    for (const char* name : {"desktop.ini", "Desktop.ini", "DESKTOP.INI", "thumbs.db", "Thumbs.db"})
        EXPECT_TRUE(isSystemFileName(name)) << name;
    for (const char* name : {"desktop.ini.url", "Thumbs.db.url", "desktop", "xdesktop.ini"})
        EXPECT_FALSE(isSystemFileName(name)) << name;
}

// Names that differ only in case, or in bytes shown alike, which only a POSIX
// file system holds side by side.
#ifndef _WIN32

TEST_F(WindowsTreeTest, AnExactNameWinsOverOneThatDiffersInCase) {
    test::writeShortcut(root + "index.url", "http://lower.example/");
    EXPECT_EQ(catalog.locate("\\index.url"), root + "index.url");
    EXPECT_EQ(catalog.locate("\\Index.URL"), root + "Index.URL");
    // Neither spelled so: the first listed ("Index.URL" before "index.url").
    EXPECT_EQ(catalog.locate("\\INDEX.url"), root + "Index.URL");
}

TEST_F(WindowsTreeTest, ASaveGivenItsFileWritesThatFileAmongTwinsShownAlike) {
    // The code-page name and its UTF-8 twin are both shown as "表示.url".
    const std::string twin = root + "日本語/表示.url";
    const std::string japanese = root + test::cp932("日本語") + "/" + test::cp932("表示.url");
    test::makeFolders(root + "日本語");
    test::writeShortcut(root + "日本語/表示.url", "http://twin.example/");
    const struct {
        const char* what;
        std::string file;     // what the request names
        std::string written;  // what is written
    } cases[] = {
        {"its file given", japanese, japanese},
        {"no file given: the folder and name are looked up", {}, twin},
        {"a file since gone: looked up as well", root + "gone.url", twin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SaveRequest request{"表示", std::nullopt, c.what, "\\日本語\\"};
        request.file = c.file;
        const SaveResult result = Savefiles(catalog, request);
        ASSERT_TRUE(result);
        EXPECT_EQ(result.path, c.written);
        EXPECT_EQ(result.fileName, "表示.url");
        EXPECT_EQ(profile.ReadShortcutComment(c.written), c.what);
    }
    EXPECT_FALSE(std::filesystem::exists(root + "gone.url"));
    EXPECT_EQ(profile.ReadShortcut(japanese).url, "http://hyoji.example/");
}

TEST_F(WindowsTreeTest, FixingNamesLosesNoFileToANameMadeMeanwhileOrARefusedRename) {
    const std::string japanese = root + test::cp932("日本語");
    const std::string file = japanese + "/" + test::cp932("表示.url");
    // Another program makes the UTF-8 name just before the file's rename.
    fs.beforeRename = [&](const std::string& from, const std::string& to) {
        if (from == file) test::writeShortcut(to, "http://meanwhile.example/");
    };
    fs.unwritable.insert(japanese);  // the folder's rename is refused
    const auto before = test::filesBelow(root, true);
    const auto fixes = FixNames(catalog, false);
    std::vector<std::pair<std::string, NameFix::Kind>> kinds;
    for (const auto& f : fixes)
        kinds.emplace_back(f.shown, f.kind);
    std::sort(kinds.begin(), kinds.end());
    const std::vector<std::pair<std::string, NameFix::Kind>> expected = {
        {"\\Links\\bad\uFFFD.url", NameFix::Kind::Undecodable},
        {"\\日本語\\", NameFix::Kind::Failed},
        {"\\日本語\\表示.url", NameFix::Kind::Clash},
    };
    EXPECT_EQ(kinds, expected);
    // Every file is still there under its old name, with its contents, beside the new one.
    auto after = test::filesBelow(root, true);
    std::erase(after, test::cp932("日本語") + "/表示.url");
    EXPECT_EQ(after, before);
    expectValues("after the fix");
    EXPECT_EQ(profile.ReadShortcut(japanese + "/表示.url").url, "http://meanwhile.example/");
}

#endif

}  // namespace
}  // namespace brim::core
