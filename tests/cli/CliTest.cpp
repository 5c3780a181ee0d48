#include <gtest/gtest.h>
#include <lz4.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Export.h"
#include "core/Pages.h"
#include "core/Sessions.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixBrowserProfiles.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::cli {
namespace {

struct CliRun {
    int rc;
    std::string out, err;
};

class CliTest : public testing::Test {
  protected:
    test::TempDir dir;
    test::TestFolders folders{dir};
    std::string root = folders.favorites();
    platform::PosixFileSystem fs;
    platform::IconvCodePage codePage{"CP932"};

    CliRun run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int rc = runCli(args, out, err, &folders);
        return {rc, out.str(), err.str()};
    }
};

TEST_F(CliTest, JsonListInWalkOrder) {
    test::writeShortcut(root + "a.url", "http://a/", "説明 \"引用\"");
    test::writeShortcut(root + "A/x.url", "http://x/");
    test::writeShortcut(root + "B/y.url", "http://y/", "tab\there");
    const CliRun r = run({"--json", "list"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out,
              "[\n {\"name\":\"a.url\",\"folder\":\"\\\\\",\"comment\":\"説明 \\\"引用\\\"\"},\n"
              " {\"name\":\"y.url\",\"folder\":\"\\\\B\\\\\",\"comment\":\"tab\\there\"},\n"
              " {\"name\":\"x.url\",\"folder\":\"\\\\A\\\\\",\"comment\":\"\"}\n]\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, FavoritesOptionOverridesTheDefault) {
    test::writeShortcut(dir / "Other/o.url", "http://o/");
    const CliRun r = run({"--favorites", dir / "Other", "--json", "list"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_NE(r.out.find("\"o.url\""), std::string::npos);
}

TEST_F(CliTest, EmptyListIsAnEmptyArray) {
    test::makeFolders(root);
    const CliRun r = run({"--json", "list"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "[]\n");
}

TEST_F(CliTest, TableAlignsWideCharactersAndCounts) {
    test::writeShortcut(root + "ニュース.url", "http://n/", "毎日");
    test::writeShortcut(root + "ab.url", "http://a/", "x");
    const CliRun r = run({"list"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out,
              "Name          Folder  Comment\n"
              "ab.url        \\       x\n"
              "ニュース.url  \\       毎日\n"
              "ファイル数: 2\n");
}

TEST_F(CliTest, Failures) {
    const struct {
        std::vector<std::string> args;
        int rc;
        std::string errStart;
    } cases[] = {
        {{}, kUsage, "brimmark-cli: no verb given"},
        {{"frobnicate"}, kUsage, "brimmark-cli: unknown verb frobnicate"},
        {{"--colour", "list"}, kUsage, "brimmark-cli: unknown option --colour"},
        {{"--favorites"}, kUsage, "brimmark-cli: --favorites needs a folder"},
        {{"list", "extra"}, kUsage, "brimmark-cli: list takes no arguments"},
        {{"list"}, kFailure, "brimmark-cli: cannot read the Favorites folder"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.rc, c.rc) << r.err;
        EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, HelpListsTheVerbs) {
    const CliRun r = run({"--help"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_NE(r.out.find("  list"), std::string::npos);
}

TEST_F(CliTest, FoldersAndShow) {
    test::writeShortcut(root + "A/A1/n.url", "http://n/", "ニュース \"毎日\"");
    test::makeFolders(root + "B");
    CliRun r = run({"--json", "folders"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "[\n \"\\\\\",\n \"\\\\B\\\\\",\n \"\\\\A\\\\\",\n \"\\\\A\\\\A1\\\\\"\n]\n");
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
    EXPECT_EQ(run({"show"}).rc, kUsage);
}

TEST_F(CliTest, SearchUsesSavedOptionsUnlessGiven) {
    test::writeShortcut(root + "a.url", "http://news/", "Daily");
    test::writeShortcut(root + "b.url", "http://sport/", "daily");
    test::writeShortcut(root + "News/c.url", "http://c/", "");
    const auto names = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--json", "search"});
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, kSuccess) << r.err;
        std::string out;
        for (std::size_t at = r.out.find("\"name\":\""); at != std::string::npos;
             at = r.out.find("\"name\":\"", at + 1)) {
            out += r.out.substr(at + 8, r.out.find('"', at + 8) - at - 8) + " ";
        }
        return out;
    };
    EXPECT_EQ(names({"daily"}), "a.url b.url ");
    EXPECT_EQ(names({"news", "daily"}), "a.url b.url c.url ");
    EXPECT_EQ(names({"--case-sensitive", "Daily"}), "a.url ");
    EXPECT_EQ(names({"--fields", "folder", "news"}), "c.url ");
    EXPECT_EQ(names({"--", "--and"}), "");
    EXPECT_EQ(names({""}), "a.url b.url c.url ");
    // Saved: AND, without folders; the command line still overrides.
    core::Profile profile(fs, codePage, folders);
    ASSERT_TRUE(core::SaveSearchOptions(profile, {{1, 0, 1, 1, 1}, false}));
    EXPECT_EQ(names({"news", "daily"}), "a.url ");
    EXPECT_EQ(names({"--or", "news", "daily"}), "a.url b.url ");
    EXPECT_EQ(names({"--fields", "folder,name", "news"}), "c.url ");

    EXPECT_EQ(run({"search", "--fields", "title", "x"}).rc, kUsage);
    EXPECT_EQ(run({"search", "--fields"}).rc, kUsage);
    EXPECT_EQ(run({"search", "--regex", "x"}).rc, kUsage);
    const CliRun same = run({"same", "http://sport/"});
    EXPECT_EQ(same.rc, kSuccess);
    EXPECT_NE(same.out.find("b.url"), std::string::npos);
    EXPECT_EQ(same.out.find("a.url"), std::string::npos);
    EXPECT_EQ(run({"same"}).rc, kUsage);
}

// Sets an environment variable for one test.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST_F(CliTest, PagesListsWhatGetShows) {
    const std::string profile = dir / "home/.mozilla/firefox/p.default/";
    test::writeFile(dir / "home/.mozilla/firefox/profiles.ini", "[Profile0]\nPath=p.default\n");
    const std::string json =
        R"({"windows":[{"tabs":[{"entries":[{"url":"https://a.example/","title":"A \"q\""}]},)"
        R"({"entries":[{"url":"about:blank"}]},{"entries":[{"url":"http://b.example/","title":"B"}]}]}]})";
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(json.size()))),
                      '\0');
    block.resize(static_cast<std::size_t>(LZ4_compress_default(
        json.data(), block.data(), static_cast<int>(json.size()), static_cast<int>(block.size()))));
    const auto size = static_cast<std::uint32_t>(json.size());
    test::writeFile(
        profile + "sessionstore-backups/recovery.jsonlz4",
        std::string("mozLz40\0", 8) + std::string(reinterpret_cast<const char*>(&size), 4) + block);
    ASSERT_EQ(
        symlink(("127.0.0.1:+" + std::to_string(getpid())).c_str(), (profile + "lock").c_str()), 0);
    const ScopedEnv home("HOME", dir / "home");
    const ScopedEnv config("XDG_CONFIG_HOME", dir / "home/.config");
    const CliRun r = run({"--json", "pages"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out,
              "[\n {\"title\":\"B\",\"url\":\"http://b.example/\"},\n"
              " {\"title\":\"A \\\"q\\\"\",\"url\":\"https://a.example/\"}\n]\n");
    const std::string homeFolder = dir / "home";
    core::SessionPageSource window(fs,
                                   std::make_unique<platform::PosixBrowserProfiles>(
                                       [&](const std::string& name) -> std::optional<std::string> {
                                           if (name == "HOME") return homeFolder;
                                           return std::nullopt;
                                       },
                                       [](std::int64_t) { return true; }));
    EXPECT_EQ(core::CapturePages(window.openPages()).size(), 2u);
    EXPECT_EQ(run({"pages"}).out,
              "site   URL\nB      http://b.example/\nA \"q\"  https://a.example/\nサイト数: 2\n");
}

TEST_F(CliTest, OpenHandsTheAddressToTheOpener) {
    const std::string script = dir / "opener.sh";
    test::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out\"\n");
    chmod(script.c_str(), 0755);
    const ScopedEnv opener("BRIMMARK_OPENER", script);
    EXPECT_EQ(run({"open", "http://x.example/?q=a b"}).rc, kSuccess);
    for (int i = 0; i < 200 && test::readFile(script + ".out").empty(); ++i)
        usleep(10000);
    EXPECT_EQ(test::readFile(script + ".out"), "http://x.example/?q=a b");
    const ScopedEnv missing("BRIMMARK_OPENER", dir / "none");
    const CliRun r = run({"open", "http://x/"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run({"open"}).rc, kUsage);
}

TEST_F(CliTest, SaveDeleteAndPrune) {
    test::makeFolders(root + "Links");
    CliRun r = run({"--json", "save", "--name", "News", "--url", "http://n/", "--comment", "毎日",
                    "--folder", "\\Links\\"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out, "{\"path\":" + jsonString(root + "Links/News.url") + "}\n");
    EXPECT_EQ(test::readFile(root + "Links/News.url"),
              "[InternetShortcut]\r\nURL=http://n/\r\n[CommentKey]\r\nWords=" +
                  test::cp932("毎日") + "\r\n");
    EXPECT_EQ(run({"save", "--url", "http://x/y"}).rc, kFailure);
    r = run({"save", "--name", "d", "--url", "u", "--folder", "A\\B"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("the folder does not exist"), std::string::npos);
    EXPECT_EQ(run({"save", "--comment", "c"}).rc, kUsage);
    EXPECT_EQ(run({"save", "--name"}).rc, kUsage);
    // Options not given keep what the file holds; an empty one empties.
    const std::string news = root + "Links/News.url";
    ASSERT_EQ(run({"save", "--name", "News", "--url", "http://m/", "--folder", "\\Links\\"}).rc,
              kSuccess);
    EXPECT_EQ(test::readFile(news),
              "[InternetShortcut]\r\nURL=http://m/\r\n[CommentKey]\r\nWords=" +
                  test::cp932("毎日") + "\r\n");
    ASSERT_EQ(run({"save", "--name", "News", "--comment", "", "--folder", "\\Links\\"}).rc,
              kSuccess);
    EXPECT_EQ(test::readFile(news),
              "[InternetShortcut]\r\nURL=http://m/\r\n[CommentKey]\r\nWords=\r\n");
    r = run({"save", "--name", ".hidden", "--url", "http://h/"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("hidden"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root + ".hidden.url"));
    r = run({"save", "--name", "News", "--comment", "\U0001F600", "--folder", "\\Links\\"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("\U0001F600"), std::string::npos) << r.err;

    const ScopedEnv data("XDG_DATA_HOME", dir / "data");
    EXPECT_EQ(run({"delete", "Links\\News.url"}).rc, kFailure);  // no terminal, no --yes
    EXPECT_TRUE(std::filesystem::exists(root + "Links/News.url"));
    std::istringstream no("n\n"), yes("y\n");
    std::ostringstream out, err;
    std::vector<std::string> args{"delete", "\\Links\\News.url"};
    EXPECT_EQ(runCli(args, out, err, &folders, &no), kSuccess);
    EXPECT_TRUE(std::filesystem::exists(root + "Links/News.url"));
    EXPECT_EQ(runCli(args, out, err, &folders, &yes), kSuccess);
    EXPECT_FALSE(std::filesystem::exists(root + "Links/News.url"));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Trash/files/News.url"));
    test::writeShortcut(root + "b.url", "http://b/");
    r = run({"--json", "delete", "--yes", "b.url", "missing.url"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_EQ(r.out, "[\n " + jsonString(root + "b.url") + "\n]\n");
    EXPECT_EQ(r.err, "brimmark-cli: no such file: " + root + "missing.url\n");

    test::makeFolders(root + "E/F");
    r = run({"--json", "prune-empty", "--dry-run"});
    EXPECT_EQ(r.out,
              "[\n " + jsonString(root + "Links") + ",\n " + jsonString(root + "E") + "\n]\n");
    EXPECT_TRUE(std::filesystem::exists(root + "E/F"));
    r = run({"prune-empty"});
    EXPECT_EQ(r.rc, kSuccess);
    EXPECT_EQ(r.out, "Deleted Folders\n" + root + "Links\n" + root + "E\n");
    EXPECT_FALSE(std::filesystem::exists(root + "E"));
    EXPECT_EQ(run({"prune-empty", "--now"}).rc, kUsage);
}

TEST_F(CliTest, ExportNeverOverwrites) {
    test::writeShortcut(root + "a.url", "http://a/", "alpha");
    test::writeShortcut(root + "Links/b.url", "http://b/", "beta");
    CliRun r = run({"--json", "export", "csv", "--output", dir / "out.csv", "beta"});
    EXPECT_EQ(r.rc, kSuccess) << r.err;
    EXPECT_EQ(r.out, "{\"path\":" + jsonString(dir / "out.csv") + "}\n");
    EXPECT_EQ(test::readFile(dir / "out.csv"),
              test::cp932("名称, フォルダ, URL, コメント") +
                  "\r\n\"b\",\"Links\",\"http://b/\",\"beta\"\r\n");
    r = run({"export", "html", "--output", dir / "out.csv"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("a file of that name exists"), std::string::npos);
    EXPECT_EQ(test::readFile(dir / "out.csv").find("<HTML>"), std::string::npos);
    // The saved HTML options apply; the default file goes to the Desktop.
    core::Profile profile(fs, codePage, folders);
    ASSERT_TRUE(core::SaveHtmlOptions(profile, {1, 0}));
    test::makeFolders(folders.desktop());
    EXPECT_EQ(run({"export", "html"}).rc, kSuccess);
    const std::string page = test::readFile(folders.desktop() + "お気に入り一覧.html");
    EXPECT_NE(page.find(">a</A>" + test::cp932("\u3000") + "http://a/ \r\n"), std::string::npos);
    EXPECT_EQ(run({"export", "csv", "--output", dir / "none.csv", "nomatch"}).rc, kFailure);
    EXPECT_EQ(run({"export", "pdf"}).rc, kUsage);
    EXPECT_EQ(run({"export", "html", "--output"}).rc, kUsage);
}

TEST(JsonString, EscapesControlCharacters) {
    EXPECT_EQ(jsonString(std::string("a\x01\n\\\"", 5)), "\"a\\u0001\\n\\\\\\\"\"");
}

TEST(DisplayWidth, CountsWideCharactersTwice) {
    EXPECT_EQ(displayWidth("abc"), 3u);
    EXPECT_EQ(displayWidth("日本"), 4u);
    EXPECT_EQ(displayWidth("ｱｲ"), 2u);  // half-width katakana
}

// The built program on a copy of the bundled sample tree, as the README runs it.
TEST(CliProgram, ListsTheSampleTree) {
    test::TempDir dir;
    std::filesystem::copy(BRIMMARK_EXAMPLES_DIR "/Favorites", dir / "Favorites",
                          std::filesystem::copy_options::recursive);
    const std::string command = std::string(BRIMMARK_CLI_PATH) + " --favorites '" + dir.path() +
                                "Favorites' --json list 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[4096];
    while (const std::size_t n = fread(buf, 1, sizeof buf, pipe))
        out.append(buf, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
    std::size_t rows = 0;
    for (std::size_t at = out.find("{\"name\""); at != std::string::npos;
         at = out.find("{\"name\"", at + 1)) {
        ++rows;
    }
    EXPECT_GE(rows, 30u);
    EXPECT_NE(out.find("\"folder\":\"\\\\ニュース\\\\\""), std::string::npos);
}

}  // namespace
}  // namespace brim::cli
