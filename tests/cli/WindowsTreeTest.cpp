// The verbs over a Favorites tree made on Windows, and on POSIX as unpacked
// there.

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"
#include "WindowsTree.h"
#include "core/Paths.h"

namespace brim::cli::test {
namespace {

using Json = nlohmann::json;

class WindowsTreeVerbs : public CliFixture {
  protected:
    std::vector<TreeFavorite> tree = makeWindowsTree(root);

    std::vector<std::string> shownNames() const {
        std::vector<std::string> names;
        for (const auto& f : tree)
            names.push_back(f.name);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(WindowsTreeVerbs, ListAndSearchShowEveryFavoriteAndSayWhichNamesWereDecoded) {
    const struct {
        std::vector<std::string> args;
    } cases[] = {{{"--json", "list"}}, {{"--json", "search", "example"}}};
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        ASSERT_EQ(r.rc, 0) << r.err;
        std::vector<std::string> names;
        for (const auto& row : Json::parse(r.out))
            names.push_back(row["name"].get<std::string>());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, shownNames()) << c.args[1];
        if (!kByteNames) {
            EXPECT_EQ(r.err, "") << c.args[1];
            continue;
        }
        // Said once for the whole list, not once per name.
        EXPECT_NE(r.err.find("2 names in CP932"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("fix-names"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("1 name in no known encoding"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    }
    // A search that shows none of them says nothing of them.
    const CliRun r = run({"search", "news"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(WindowsTreeVerbs, ShowSaveAndDeleteActOnEachFavoritesOwnFile) {
    for (const auto& f : tree) {
        // Typed as the user sees it, in lower case.
        std::string typed = f.folder + f.name;
        std::transform(typed.begin(), typed.end(), typed.begin(),
                       [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        CliRun r = run({"--json", "show", typed});
        ASSERT_EQ(r.rc, 0) << typed << r.err;
        const Json shown = Json::parse(r.out);
        EXPECT_EQ(shown["url"], f.url) << typed;
        EXPECT_EQ(shown["comment"], f.comment) << typed;

        r = run({"--json", "save", "--name", core::StripExtension(f.name), "--folder", f.folder,
                 "--url", f.url, "--comment", "新しい" + f.comment});
        ASSERT_EQ(r.rc, 0) << f.name << r.err;
        EXPECT_EQ(test::filesBelow(root), filesOf(tree)) << f.name;
        EXPECT_NE(readFile(root + f.file).find(inFileEncoding(f, "新しい" + f.comment)),
                  std::string::npos)
            << f.name;
    }
    for (const auto& f : tree) {
        const CliRun r = run({"delete", "--yes", f.folder + core::StripExtension(f.name) + ".url"});
        EXPECT_EQ(r.rc, 0) << f.name << r.err;
    }
    EXPECT_TRUE(test::filesBelow(root).empty());
    // The folders' own files stay.
    EXPECT_EQ(test::filesBelow(root, true).size(), 4u);
}

TEST_F(WindowsTreeVerbs, ExportsHoldEveryFavoriteAndLeaveTheFilesAsTheyWere) {
    for (const char* format : {"html", "csv", "netscape"}) {
        const CliRun r = run({"export", format, "--output", "-"});
        ASSERT_EQ(r.rc, 0) << format << r.err;
        for (const auto& f : tree)
            EXPECT_NE(r.out.find(f.url), std::string::npos) << format << " " << f.name;
        EXPECT_EQ(r.out.find("ShellClassInfo"), std::string::npos) << format;
    }
    EXPECT_EQ(test::filesBelow(root), filesOf(tree));
}

// Names in code-page bytes, which only a POSIX file system keeps.
#ifndef _WIN32

TEST_F(WindowsTreeVerbs, FixNamesRenamesCodePageNamesAndNothingOnADryRun) {
    const auto before = test::filesBelow(root, true);
    CliRun r = run({"--json", "fix-names", "--dry-run"});
    ASSERT_EQ(r.rc, 0) << r.err;
    const Json plan = Json::parse(r.out);
    EXPECT_EQ(test::filesBelow(root, true), before);
    ASSERT_EQ(plan.size(), 3u) << r.out;

    r = run({"--json", "fix-names"});
    ASSERT_EQ(r.rc, 0) << r.err;
    const Json done = Json::parse(r.out);
    // The file inside first, then its folder; the name in no encoding stays.
    std::vector<std::pair<std::string, std::string>> results;
    for (const auto& e : done)
        results.emplace_back(e["path"], e["result"]);
    std::sort(results.begin(), results.end());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"\\Links\\bad\uFFFD.url", "undecodable"},
        {"\\日本語\\", "renamed"},
        {"\\日本語\\表示.url", "renamed"},
    };
    EXPECT_EQ(results, expected);
    EXPECT_NE(r.err.find("bad"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(root + "日本語/表示.url"));
    EXPECT_TRUE(std::filesystem::exists(root + "日本語/Thumbs.db"));
    EXPECT_EQ(test::filesBelow(root, true).size(), before.size());
    // Listed now without a word on them; the stray bytes still are.
    r = run({"list"});
    EXPECT_EQ(r.err.find("CP932"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no known encoding"), std::string::npos) << r.err;
}

TEST_F(WindowsTreeVerbs, FixNamesReportsAClashAndKeepsBothFiles) {
    // The UTF-8 name exists beside the Shift_JIS one; and one differs only in case.
    writeShortcut(root + cp932("日本語") + "/表示.url", "http://utf8.example/");
    writeShortcut(root + cp932("ＡＢ.url"), "http://ab.example/");
    writeShortcut(root + "ａｂ.url", "http://ab2.example/");
    for (const bool dryRun : {true, false}) {
        std::vector<std::string> args = {"fix-names"};
        if (dryRun) args.push_back("--dry-run");
        const auto before = test::filesBelow(root, true);
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, 1) << r.out << r.err;
        EXPECT_NE(r.err.find("\\日本語\\表示.url"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("\\ＡＢ.url"), std::string::npos) << r.err;
        if (dryRun) {
            EXPECT_EQ(test::filesBelow(root, true), before);
        }
    }
    // Both of each pair are kept with their own contents; the folder was renamed.
    EXPECT_TRUE(std::filesystem::exists(root + "日本語/" + cp932("表示.url")));
    EXPECT_NE(readFile(root + "日本語/表示.url").find("utf8.example"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(root + cp932("ＡＢ.url")));
    EXPECT_TRUE(std::filesystem::exists(root + "ａｂ.url"));
}

#endif

}  // namespace
}  // namespace brim::cli::test
