// What each verb does over a temporary Favorites folder.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CliTestSupport.h"
#include "cli/Output.h"
#include "core/Export.h"
#include "core/Opening.h"
#include "core/Pages.h"
#include "core/Search.h"
#include "core/Settings.h"

namespace brim::cli::test {
namespace {

using Verbs = CliFixture;
using Json = nlohmann::json;

TEST_F(Verbs, RowsCarryAddressAndPathFromTheSameRead) {
    writeShortcut(root + "a.url", "http://a/", "説明 \"引用\"");
    writeShortcut(root + "A/x.url", "http://x/");
    writeShortcut(root + "B/y.url", "http://y/", "tab\there");
    writeFile(root + "B/empty.url", "");
    const Json all = {
        {{"name", "a.url"},
         {"folder", "\\"},
         {"comment", "説明 \"引用\""},
         {"url", "http://a/"},
         {"path", root + "a.url"}},
        {{"name", "empty.url"},
         {"folder", "\\B\\"},
         {"comment", ""},
         {"url", ""},
         {"path", root + native("B/empty.url")}},
        {{"name", "y.url"},
         {"folder", "\\B\\"},
         {"comment", "tab\there"},
         {"url", "http://y/"},
         {"path", root + native("B/y.url")}},
        {{"name", "x.url"},
         {"folder", "\\A\\"},
         {"comment", ""},
         {"url", "http://x/"},
         {"path", root + native("A/x.url")}},
    };
    // Each verb prints the rows of `all` at these places.
    const struct {
        std::vector<std::string> args;
        std::vector<std::size_t> rows;
    } cases[] = {
        {{"--json", "list"}, {0, 1, 2, 3}},
        {{"--json", "search", ""}, {0, 1, 2, 3}},
        {{"--json", "search", "--fields", "url", "http"}, {0, 2, 3}},
        {{"--json", "search", "--fields", "name", "--or", "x", "a"}, {0, 3}},
        {{"--json", "search", "--fields", "comment", "引用"}, {0}},
        {{"--json", "same", "http://y/"}, {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = run(c.args);
        ASSERT_EQ(r.rc, kSuccess) << r.err;
        const Json rows = Json::parse(r.out);
        ASSERT_EQ(rows.size(), c.rows.size()) << r.out;
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(rows[i], all[c.rows[i]]);
        // Members in the documented order: name, folder, comment, url, path.
        const std::size_t name = r.out.find("{\"name\":"), folder = r.out.find(",\"folder\":");
        EXPECT_LT(name, folder);
        EXPECT_LT(folder, r.out.find(",\"comment\":"));
        EXPECT_LT(r.out.find(",\"comment\":"), r.out.find(",\"url\":"));
        EXPECT_LT(r.out.find(",\"url\":"), r.out.find(",\"path\":"));
    }
    makeFolders(dir / "Empty");
    EXPECT_EQ(run({"--json", "--favorites", dir / "Empty", "list"}).out, "[]\n");
}

TEST_F(Verbs, SearchUsesSavedOptionsUnlessGiven) {
    writeShortcut(root + "a.url", "http://news/", "Daily");
    writeShortcut(root + "b.url", "http://sport/", "daily");
    writeShortcut(root + "News/c.url", "http://c/", "");
    const auto names = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--json", "search"});
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        std::string out;
        for (const auto& row : Json::parse(r.out))
            out += row["name"].get<std::string>() + " ";
        return out;
    };
    EXPECT_EQ(names({"daily"}), "a.url b.url ");
    EXPECT_EQ(names({"news", "daily"}), "a.url b.url c.url ");
    EXPECT_EQ(names({"--case-sensitive", "Daily"}), "a.url ");
    EXPECT_EQ(names({"--fields", "folder", "news"}), "c.url ");
    // Saved: AND, without folders; the command line still overrides.
    const core::Profile profile(*s.services->fs, *s.services->codePage, *s.services->folders);
    ASSERT_TRUE(core::SaveSearchOptions(profile, {{1, 0, 1, 1, 1}, false}));
    EXPECT_EQ(names({"news", "daily"}), "a.url ");
    EXPECT_EQ(names({"--or", "news", "daily"}), "a.url b.url ");
    EXPECT_EQ(names({"--fields", "folder,name", "news"}), "c.url ");
    ASSERT_TRUE(core::SaveSearchOptions(profile, {{0, 1, 1, 1, 1}, true}));
    EXPECT_EQ(names({"Daily"}), "a.url ");
    EXPECT_EQ(names({"--ignore-case", "Daily"}), "a.url b.url ");
}

TEST_F(Verbs, FoldersAndShow) {
    writeShortcut(root + "A/A1/n.url", "http://n/", "ニュース \"毎日\"");
    makeFolders(root + "B");
    CliRun r = run({"--json", "folders"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(Json::parse(r.out), Json({"\\", "\\B\\", "\\A\\", "\\A\\A1\\"}));
    r = run({"folders"});
    EXPECT_EQ(r.out, "Folder\n\\\n\\B\\\n\\A\\\n\\A\\A1\\\nフォルダ数: 4\n");
    r = run({"--json", "show", "\\A\\A1\\n.url"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out,
              "{\"folder\":\"\\\\A\\\\A1\\\\\",\"name\":\"n\",\"url\":\"http://n/\","
              "\"comment\":\"ニュース \\\"毎日\\\"\"}\n");
    r = run({"show", "A\\missing.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.err, "brimmark-cli: no such favorite: A\\missing.url\n");
    r = run({"--favorites", dir / "none", "list"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.err, "brimmark-cli: cannot read the Favorites folder " + dir.path() +
                         native("none/") + "\n");
}

TEST_F(Verbs, PagesListsWhatGetShows) {
    s.pages->pages = {{"A \"q\"", "https://a.example/", "Mozilla Firefox"},
                      {"Blank", "about:blank", "Mozilla Firefox"},
                      {"B", "http://b.example/", "Chromium"}};
    const CliRun r = run({"--json", "pages"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    const auto expected = core::CapturePages(s.pages->pages);
    const Json rows = Json::parse(r.out);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i]["title"], expected[i].title);
        EXPECT_EQ(rows[i]["url"], expected[i].url);
    }
    s.pages->skips = {"a damaged session file /x/\x1b[2J"};
    const CliRun skipped = run({"pages"});
    EXPECT_EQ(skipped.rc, kSuccess);
    EXPECT_EQ(skipped.err, "brimmark-cli: skipped a damaged session file /x/\\x1b[2J\n");
    const std::string table = skipped.out;
    EXPECT_EQ(table.substr(0, table.find('\n')).rfind("site ", 0), 0u) << table;
    EXPECT_NE(table.find("サイト数: " + std::to_string(expected.size()) + "\n"), std::string::npos);
}

TEST_F(Verbs, OpenAsksBeforeAnAddressThatMayRunSomething) {
    const struct {
        std::string url;
        std::vector<std::string> extra;  // options besides the address
        const char* answer;              // null: no terminal
        int rc;
        bool opened;
    } cases[] = {
        {"http://x.example/?q=a b", {}, nullptr, kSuccess, true},
        {"HTTPS://x.example/", {}, nullptr, kSuccess, true},
        {"ftp://f/", {}, nullptr, kSuccess, true},
        {"mailto:a@b", {}, nullptr, kSuccess, true},
        {"javascript:alert(1)", {}, nullptr, kFailure, false},
        {"data:text/html,<b>", {}, nullptr, kFailure, false},
        {"vbscript:x", {}, nullptr, kFailure, false},
        {"file:///etc/passwd", {}, nullptr, kFailure, false},
        {"javascript:alert(1)", {"--yes"}, nullptr, kSuccess, true},
        {"javascript:alert(1)", {}, "y\n", kSuccess, true},
        {"javascript:alert(1)", {}, "n\n", kSuccess, false},
        {"javascript:alert(1)", {}, "", kSuccess, false},
        {"http://x/", {}, "n\n", kSuccess, true},  // no question at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + (c.answer ? std::string(" answered ") + c.answer : ""));
        s.opener->opened.clear();
        std::vector<std::string> args{"open"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        args.push_back(c.url);
        std::istringstream answer(c.answer ? c.answer : "");
        const CliRun r = run(args, c.answer ? &answer : nullptr);
        EXPECT_EQ(r.rc, c.rc) << r.err;
        EXPECT_EQ(s.opener->opened,
                  c.opened ? std::vector<std::string>{c.url} : std::vector<std::string>{});
        EXPECT_EQ(r.out, "");
        const bool asked = r.err.find("? [y/N]") != std::string::npos;
        EXPECT_EQ(asked, c.answer && !core::OpensWithoutAsking(c.url)) << r.err;
        if (asked) {
            EXPECT_NE(r.err.find(c.url), std::string::npos) << r.err;
        }
    }
    // The question shows the address, controls escaped.
    std::istringstream no("n\n");
    const CliRun r = run({"open", "x-app:\x1b[2J"}, &no);
    EXPECT_NE(r.err.find("x-app:\\x1b[2J"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    s.opener->failure = "xdg-open was not found";
    const CliRun failed = run({"open", "http://x/"});
    EXPECT_EQ(failed.rc, kFailure);
    EXPECT_EQ(failed.err, "brimmark-cli: cannot open http://x/: xdg-open was not found\n");
}

TEST_F(Verbs, SaveWritesWhatItIsGiven) {
    makeFolders(root + "Links");
    CliRun r = run({"--json", "save", "--name", "News", "--url=http://n/", "--comment", "毎日",
                    "--folder", "\\Links\\"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json({{"path", root + native("Links/News.url")}}));
    EXPECT_EQ(
        readFile(root + "Links/News.url"),
        "[InternetShortcut]\r\nURL=http://n/\r\n[CommentKey]\r\nWords=" + cp932("毎日") + "\r\n");
    r = run({"save", "--name=News", "--folder=\\Links\\", "--url", "http://n/", "--comment", ""});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out, "saved " + root + native("Links/News.url") + "\n");
    EXPECT_EQ(run({"--json", "show", "\\Links\\News.url"}).out.find("毎日"), std::string::npos);
    // Options not given keep what the file holds; an empty one empties.
    const std::string news = root + native("Links/News.url");
    const std::string head = "[InternetShortcut]\r\nURL=";
    const struct {
        std::vector<std::string> args;
        std::string file;
    } keeps[] = {
        {{"--comment", "毎日"},
         head + "http://n/\r\n[CommentKey]\r\nWords=" + cp932("毎日") + "\r\n"},
        {{"--url", "http://m/"},
         head + "http://m/\r\n[CommentKey]\r\nWords=" + cp932("毎日") + "\r\n"},
        {{"--comment", ""}, head + "http://m/\r\n[CommentKey]\r\nWords=\r\n"},
        {{"--url", "http://k/"}, head + "http://k/\r\n[CommentKey]\r\nWords=\r\n"},
    };
    for (const auto& c : keeps) {
        std::vector<std::string> args{"save", "--name", "News", "--folder", "\\Links\\"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        EXPECT_EQ(readFile(news), c.file) << testing::PrintToString(c.args);
    }
    r = run({"save", "--name", ".hidden", "--url", "http://h/"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("would be hidden"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(root + ".hidden.url"));
    EXPECT_EQ(run({"save", "--url", "http://x/y"}).rc, kFailure);
    r = run({"save", "--name", "d", "--url", "u", "--folder", "A\\B"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("the folder does not exist"), std::string::npos);
}

TEST_F(Verbs, DeleteReportsOnlyWhatMoved) {
    writeShortcut(root + "a.url", "http://a/");
    writeShortcut(root + "b.url", "http://b/");
    writeShortcut(root + "c.url", "http://c/");
    s.trash->refuse = {root + "b.url"};
    // No terminal and no --yes: nothing moves.
    CliRun r = run({"delete", "a.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_TRUE(std::filesystem::exists(root + "a.url"));
    // Asked: only "y" moves.
    std::istringstream no("n\n");
    r = run({"delete", "\\a.url"}, &no);
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::filesystem::exists(root + "a.url"));
    std::istringstream yes("y\n");
    r = run({"delete", "\\a.url"}, &yes);
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "Moved to the trash\n" + root + "a.url\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "trash/a.url"));

    // A refused move and a missing file fail the verb; the rest still moves.
    r = run({"delete", "--yes", "b.url", "c.url", "missing.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "Moved to the trash\n" + root + "c.url\n");
    EXPECT_NE(r.err.find("cannot move " + root + "b.url to the trash"), std::string::npos);
    EXPECT_NE(r.err.find("no such file: " + root + "missing.url"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(root + "b.url"));
    r = run({"delete", "--yes", "b.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "");
    r = run({"--json", "delete", "--yes", "b.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "[]\n");
}

TEST_F(Verbs, PruneRemovesEmptyFolders) {
    writeShortcut(root + "Links/a.url", "http://a/");
    makeFolders(root + "E/F");
    makeFolders(root + "G");
    CliRun r = run({"--json", "prune-empty", "--dry-run"});
    EXPECT_EQ(Json::parse(r.out), Json({root + "G", root + "E"}));
    EXPECT_TRUE(std::filesystem::exists(root + "E/F"));
    r = run({"prune-empty"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "Deleted Folders\n" + root + "G\n" + root + "E\n");
    EXPECT_FALSE(std::filesystem::exists(root + "E"));
    EXPECT_TRUE(std::filesystem::exists(root + "Links/a.url"));
}

TEST_F(Verbs, ExportWritesNewFilesOrStandardOutput) {
    writeShortcut(root + "a.url", "http://a/", "alpha");
    writeShortcut(root + "Links/b.url", "http://b/", "beta");
    const std::string csv =
        cp932("名称, フォルダ, URL, コメント") + "\r\n\"b\",\"Links\",\"http://b/\",\"beta\"\r\n";
    CliRun r = run({"--json", "export", "csv", "--output", dir / "out.csv", "beta"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json({{"path", dir / "out.csv"}}));
    EXPECT_EQ(readFile(dir / "out.csv"), csv);
    // "-" is standard output, and nothing else is printed there.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", "csv", "--output", "-", "beta"},
          {"export", "--output=-", "csv", "beta"},
          {"--json", "export", "csv", "beta", "--output", "-"}}) {
        r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        EXPECT_EQ(r.out, csv);
    }
    EXPECT_FALSE(std::filesystem::exists("-"));
    r = run({"export", "html", "--output", dir / "out.csv"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("a file of that name exists"), std::string::npos);
    EXPECT_EQ(readFile(dir / "out.csv"), csv);
    // The saved HTML options apply; the default file goes to the Desktop.
    const core::Profile profile(*s.services->fs, *s.services->codePage, *s.services->folders);
    ASSERT_TRUE(core::SaveHtmlOptions(profile, {1, 0, 0}));
    makeFolders(s.folders->desktop());
    r = run({"export", "html"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out, "wrote 2 favorites to " + s.folders->desktop() + "お気に入り一覧.html\n");
    const std::string page = readFile(s.folders->desktop() + "お気に入り一覧.html");
    EXPECT_NE(page.find(">a</A>" + cp932("\u3000") + "http://a/ \r\n"), std::string::npos);
    // Characters the code page lacks: counted as "?" there, kept in UTF-8.
    writeShortcut(root + "café ☃.url", "http://c/");
    const struct {
        std::vector<std::string> encoding;
        std::string holds;    // in the file
        std::string message;  // on stderr; empty: none
    } encodings[] = {
        {{}, "\r\n\"caf? ?\",", "2 characters the code page lacks"},
        {{"--encoding", "codepage"}, "\r\n\"caf? ?\",", "2 characters the code page lacks"},
        {{"--encoding=utf-8"}, "\r\n\"café ☃\",", ""},
    };
    for (const auto& c : encodings) {
        std::vector<std::string> args{"export", "csv", "--output", "-", "caf"};
        args.insert(args.end(), c.encoding.begin(), c.encoding.end());
        r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        EXPECT_NE(r.out.find(c.holds), std::string::npos) << r.out;
        EXPECT_EQ(r.out.starts_with("\xEF\xBB\xBF"), c.message.empty());
        EXPECT_EQ(r.err.empty(), c.message.empty()) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(run({"export", "csv", "--encoding", "latin1"}).rc, kUsage);
    EXPECT_EQ(run({"export", "html", "--encoding", "utf-8"}).rc, kUsage);
    r = run({"export", "csv", "--output", dir / "none.csv", "nomatch"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.csv"));
}

}  // namespace
}  // namespace brim::cli::test

namespace brim::cli::test {
namespace {

TEST_F(Verbs, ImportWritesABookmarkFileIntoItsOwnFolder) {
    makeFolders(root);
    writeFile(dir / "b.html",
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n"
              "<DD>メモ\n<DT><H3>Sub</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">B\x1b[2J</A>\n"
              "</DL><p>\n</DL><p>\n");
    const auto dry = run({"import", "netscape", dir / "b.html", "--dry-run"});
    EXPECT_EQ(dry.rc, kSuccess) << dry.err;
    EXPECT_NE(dry.out.find("2 to import"), std::string::npos) << dry.out;
    EXPECT_FALSE(std::filesystem::exists(root + "b"));

    const auto done = run({"--json", "import", "netscape", dir / "b.html"});
    ASSERT_EQ(done.rc, kSuccess) << done.err;
    const Json doc = Json::parse(done.out);
    EXPECT_EQ(doc["imported"], 2);
    EXPECT_EQ(doc["files"][0], root + native("b/A.url"));
    EXPECT_EQ(readFile(root + "b/A.url").find("Words=\x83\x81\x83\x82") != std::string::npos, true);
    // The escape in the title never reaches the file's name.
    EXPECT_TRUE(std::filesystem::exists(root + "b/Sub/B[2J.url"));

    const auto again = run({"import", "netscape", dir / "b.html", "--into=b"});
    EXPECT_EQ(again.rc, kSuccess);
    EXPECT_NE(again.out.find("0 imported, 2 skipped as already there"), std::string::npos)
        << again.out;
}

TEST_F(Verbs, ImportRefusesDamagedInputAndBadArguments) {
    writeFile(dir / "cut.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=");
    const struct {
        std::vector<std::string> args;
        int rc;
    } cases[] = {
        {{"import", "netscape", dir / "cut.html"}, kFailure},
        {{"import", "netscape"}, kFailure},  // a bookmark file must be named
        {{"import", "opera"}, kUsage},
        {{"import"}, kUsage},
        {{"import", "firefox", "--profile", "/p", "/f"}, kUsage},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args);
        EXPECT_EQ(r.rc, c.rc) << c.args.back() << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(root + "cut"));
}

}  // namespace
}  // namespace brim::cli::test
