// The commands that write, move or open: save, delete, empty folders, the
// exports, opening, help and shortcuts; failures reach the user once.

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "WindowFixture.h"
#include "app/MoveToTrash.h"
#include "cli/Command.h"

namespace brim::test {
namespace {

using app::Id;
using Strings = std::vector<std::string>;

using CommandsTest = WindowFixture;

TEST_F(CommandsTest, SaveWritesTheBoxes) {
    writeFile(root + "Links/News.url", "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n");
    app::Window& w = start();
    w.ListView1_Click(0);
    EXPECT_EQ(box(Id::Text3), "News");
    type(Id::Text5, "毎日\n読む");
    w.Savefiles();
    EXPECT_EQ(readFile(root + "Links/News.url"),
              "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n[CommentKey]\r\nWords=" +
                  cp932("毎日 読む") + "\r\n");
    EXPECT_EQ(box(Id::Text3), "News");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(view.column(2), Strings{"毎日 読む"});  // the row shows what was stored

    type(Id::Text3, "");
    type(Id::Text4, "portal.test");
    type(Id::Text6, "New");
    w.Savefiles();
    EXPECT_TRUE(fs.attributes(root + "New/portal.test.url"));
    EXPECT_EQ(box(Id::Text3), "portal.test");
}

TEST_F(CommandsTest, SaveFailuresAreReported) {
    app::Window& w = start();
    const struct {
        const char *name, *url, *target;
        std::string message;  // the start of it
        const char* nameAfter;
    } cases[] = {
        {"", "", "", "登録名かURLを入力してください。", ""},
        {"deep", "http://d/", "\\One\\Two\\",
         "「deep.url」を保存できませんでした。\nフォルダまたはファイルが見つかりません。", "deep"},
        {"", "https://x.example/page", "", "「https://x.example/page.url」は登録名に使えません。",
         ""},
        {".hidden", "http://h/", "",
         "「.hidden.url」は「.」で始まるため、保存しても一覧に表示されません。", ".hidden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        type(Id::Text3, c.name);
        type(Id::Text4, c.url);
        type(Id::Text6, c.target);
        const std::size_t before = prompts.shown.size();
        w.Savefiles();
        ASSERT_EQ(prompts.shown.size(), before + 1);
        EXPECT_EQ(lastShown().rfind(c.message, 0), 0u) << lastShown();
        EXPECT_EQ(box(Id::Text3), c.nameAfter);
    }
    EXPECT_FALSE(fs.attributes(root + ".hidden.url"));
}

TEST_F(CommandsTest, SaveNamesTheCharacterTheFileCannotHold) {
    app::Window& w = start();
    type(Id::Text3, "smile");
    type(Id::Text4, "http://s/");
    type(Id::Text5, "笑顔 \U0001F600");
    w.Savefiles();
    EXPECT_EQ(lastShown(),
              "「smile.url」を保存できませんでした。\n「\U0001F600」はこのファイルの"
              "文字コード（CP932）で保存できない文字です。");
    EXPECT_FALSE(fs.attributes(root + "smile.url"));
}

TEST_F(CommandsTest, SaveOnAFullDiskSaysSoAndKeepsTheFile) {
    const std::string original = "[InternetShortcut]\r\nURL=http://old/\r\n";
    writeFile(root + "a.url", original);
    app::Window& w = start();
    w.ListView1_Click(0);
    type(Id::Text5, "new comment");
    fs.unwritable.insert(root + "a.url");
    w.Savefiles();
    EXPECT_EQ(lastShown(), "「a.url」を保存できませんでした。\nディスクに空きがありません。");
    EXPECT_EQ(readFile(root + "a.url"), original);
}

TEST_F(CommandsTest, DeleteAsksAndMovesToTheTrash) {
    writeShortcut(root + "Links/News.url", "http://n/");
    app::Window& w = start();
    w.ListView1_Click(0);
    prompts.confirmAnswers = {false};
    w.Movetrash();
    EXPECT_EQ(lastShown(), "「News.url」をごみ箱に移動しますか？");
    EXPECT_TRUE(fs.attributes(root + "Links/News.url"));
    w.Movetrash();
    EXPECT_FALSE(fs.attributes(root + "Links/News.url"));
    EXPECT_TRUE(fs.attributes(trashed("News.url")));
    EXPECT_EQ(view.column(), Strings{"News.url"});  // the row stays until the next fill
    const std::size_t asked = prompts.shown.size();
    w.Movetrash();
    EXPECT_EQ(lastShown(), "ファイルが見つかりません。\n" + root + native("Links/News.url"));
    EXPECT_EQ(prompts.shown.size(), asked + 1);  // nothing asked first
    type(Id::Text2, "[Internet]");
    w.Movetrash();
    EXPECT_EQ(lastShown().rfind("ファイルが見つかりません。", 0), 0u);
}

TEST_F(CommandsTest, ARefusedTrashIsReportedAndTheFileStays) {
    writeShortcut(root + "a.url", "http://a/");
    RefusingTrash refusing;
    app::Window& w = start({}, &refusing);
    w.ListView1_Click(0);
    w.Movetrash();
    EXPECT_EQ(refusing.asked, 1);
    EXPECT_EQ(lastShown(), "「a.url」をごみ箱に移動できませんでした。\nアクセスが拒否されました。");
    EXPECT_TRUE(fs.attributes(root + "a.url"));
}

TEST_F(CommandsTest, TrashFlowAsksOnlyForWhatIsThere) {
    writeShortcut(root + "a.url", "http://a/");
    RefusingTrash refusing;
    const struct {
        std::string path;
        bool answer;
        platform::Trash* trash;
        app::TrashOutcome::Kind kind;
        int asked;
    } cases[] = {
        {root + "missing.url", true, &trash, app::TrashOutcome::Kind::NotFound, 0},
        {root + "a.url", false, &trash, app::TrashOutcome::Kind::Kept, 1},
        {root + "a.url", true, &refusing, app::TrashOutcome::Kind::Failed, 1},
        {root + "a.url", true, &trash, app::TrashOutcome::Kind::Moved, 1},
    };
    for (const auto& c : cases) {
        int asked = 0;
        const app::TrashOutcome r = app::MoveToTrash(fs, *c.trash, c.path, [&] {
            ++asked;
            return c.answer;
        });
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(asked, c.asked);
    }
    EXPECT_FALSE(fs.attributes(root + "a.url"));
}

TEST_F(CommandsTest, EmptyFoldersAreRemovedAndListed) {
    writeShortcut(root + "Keep/a.url", "http://a/");
    makeFolders(root + "Keep/Empty");
    makeFolders(root + "Gone/A/B");
    app::Window& w = start();
    const std::string caption = view.count;
    w.delfolder_Click();
    EXPECT_EQ(view.headers, Strings{"Deleted Folders"});
    EXPECT_EQ(w.listMode(), 1);
    EXPECT_EQ(w.itemCount(), 0);
    EXPECT_EQ(view.count, caption);
    EXPECT_EQ(view.column(), (Strings{root + native("Keep/Empty"), root + "Gone"}));
    EXPECT_FALSE(fs.attributes(root + "Gone"));
    EXPECT_TRUE(fs.attributes(root + "Keep/a.url"));
    EXPECT_TRUE(prompts.shown.empty());
    w.delfolder_Click();
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(CommandsTest, HtmlExportAsksForAFreeName) {
    writeShortcut(root + "Links/News.url", "http://n/", "daily");
    makeFolders(folders.desktop());
    writeFile(folders.desktop() + "taken.html", "keep");
    app::Window& w = start();
    prompts.inputAnswers = {"taken.htm", "Bookmarks.htm"};
    w.mkHTML_Click();
    EXPECT_EQ(prompts.shown,
              (Strings{
                  "Input HTML-file name: 保存するHTMLファイルの名前を入力してください",
                  "そのファイルはすでに存在します ",
                  "Input HTML-file name: 保存するHTMLファイルの名前を入力してください",
              }));
    EXPECT_EQ(prompts.proposed, (Strings{"お気に入り一覧", "お気に入り一覧"}));
    EXPECT_EQ(readFile(folders.desktop() + "taken.html"), "keep");
    EXPECT_NE(readFile(folders.desktop() + "Bookmarks.html")
                  .find("<P>Links</P>\r\n<UL>\r\n <LI><A HREF=\"http://n/\">News</A>"),
              std::string::npos);
    prompts.inputAnswers = {std::nullopt};  // cancelled: nothing more
    w.mkHTML_Click();
    EXPECT_EQ(prompts.shown.size(), 4u);
    prompts.inputAnswers = {""};  // an empty name cancels too
    w.mkHTML_Click();
    EXPECT_EQ(prompts.shown.size(), 5u);
    w.Command1_Click();  // the folder list: nothing to export
    w.mkHTML_Click();
    EXPECT_EQ(lastShown(), "リストが空です");
    w.toCSV_Click();
    EXPECT_EQ(lastShown(), "リストがありません");
    w.toBookmarks_Click();
    EXPECT_EQ(lastShown(), "リストがありません");
}

TEST_F(CommandsTest, HtmlExportFollowsTheHtmlOptions) {
    setting("HTMLCond", "check1", " 11");
    writeShortcut(root + "a.url", "http://a.example/", "the comment");
    makeFolders(folders.desktop());
    app::Window& w = start();
    EXPECT_EQ(w.htmlOptions().check(1), 1);
    EXPECT_EQ(w.htmlOptions().check(2), 1);
    w.htmlOptions().setCheck(2, 0);
    prompts.inputAnswers = {"page"};
    w.mkHTML_Click();
    const std::string page = readFile(folders.desktop() + "page.html");
    EXPECT_NE(page.find("http://a.example/"), std::string::npos);
    EXPECT_EQ(page.find("the comment"), std::string::npos);
    EXPECT_EQ(setting("HTMLCond", "check2"), "");  // stored only by "閉じる"
    w.htmlOptions().Command1_Click();
    EXPECT_EQ(setting("HTMLCond", "check1"), "11");
    EXPECT_EQ(setting("HTMLCond", "check2"), "10");
}

TEST_F(CommandsTest, CsvAndBookmarkExports) {
    writeShortcut(root + "a.url", "http://a/", "one, \"two\"");
    makeFolders(folders.desktop());
    app::Window& w = start();
    prompts.inputAnswers = {"list.txt"};
    w.toCSV_Click();
    EXPECT_EQ(readFile(folders.desktop() + "list.csv"),
              cp932("名称, フォルダ, URL, コメント") +
                  "\r\n\"a\",\"\",\"http://a/\",\"one, \"\"two\"\"\"\r\n");
    prompts.inputAnswers = {"a/b", "c\\d", "marks"};
    w.toBookmarks_Click();
    EXPECT_EQ(prompts.shown[2], "ファイル名に「\\」や「/」は使えません。");
    EXPECT_EQ(prompts.shown[4], "ファイル名に「\\」や「/」は使えません。");
    EXPECT_EQ(readFile(folders.desktop() + "marks.html").find("<!DOCTYPE NETSCAPE"), 0u);
    pages.pages = {{"Page", "https://p/", "Chromium"}};
    w.Command6_Click();
    prompts.inputAnswers = {"pages"};
    w.toCSV_Click();
    EXPECT_NE(readFile(folders.desktop() + "pages.csv").find("\"Page\",\"\",\"https://p/\""),
              std::string::npos);
}

TEST_F(CommandsTest, ExportFailureIsReported) {
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();  // no Desktop folder
    prompts.inputAnswers = {"x"};
    w.mkHTML_Click();
    EXPECT_EQ(lastShown(),
              "「" + folders.desktop() +
                  "x.html」を作成できませんでした。\nフォルダまたはファイルが見つかりません。");
    makeFolders(folders.desktop());
    fs.unwritable.insert(folders.desktop() + "y.csv");
    prompts.inputAnswers = {"y"};
    w.toCSV_Click();
    EXPECT_EQ(lastShown(), "「" + folders.desktop() +
                               "y.csv」を作成できませんでした。\nディスクに空きがありません。");
    EXPECT_FALSE(fs.attributes(folders.desktop() + "y.csv"));
}

// Only http, https, ftp and mailto open at once; any other address opens
// only after a question that shows it, its control characters made visible.
TEST_F(CommandsTest, OpeningAddresses) {
    writeShortcut(root + "a.url", "http://a.example/", "");
    app::Window& w = start();
    const std::string question =
        "次のアドレスは http、https、ftp、mailto のいずれでもありません。\n"
        "開いてもよろしいですか？\n\n";
    const struct {
        const char* url;
        bool opens;         // false: too short to be an address
        const char* shown;  // the address in the question; null: no question
    } cases[] = {
        {"http://", false, nullptr},  // seven characters
        {"ftp://x", false, nullptr},
        {"http://a.example/", true, nullptr},
        {"mailto:someone@example.com", true, nullptr},
        {"HTTPS://UPPER.example/", true, nullptr},
        {" C:\\x yz", true, " C:\\x yz"},                // passed on unchanged
        {"ａｂｃｄｅｆｇｈ", true, "ａｂｃｄｅｆｇｈ"},  // characters, not bytes, are counted
        {"javascript:alert(1)", true, "javascript:alert(1)"},
        {"java\tscript:alert(1)", true, "java\\x09script:alert(1)"},
        {"x-app:\x1b[2J\x1b]0;t\x07", true, "x-app:\\x1b[2J\\x1b]0;t\\x07"},
        {"/usr/bin/xterm", true, "/usr/bin/xterm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        opener.opened.clear();
        prompts.shown.clear();
        type(Id::Text4, c.url);
        prompts.confirmAnswers = {false};
        w.Command4_Click();
        if (!c.opens) {
            EXPECT_TRUE(prompts.shown.empty());
            EXPECT_TRUE(opener.opened.empty());
            continue;
        }
        if (!c.shown) {
            EXPECT_TRUE(prompts.shown.empty());
            EXPECT_EQ(opener.opened, Strings{c.url});
            continue;
        }
        EXPECT_EQ(prompts.shown, Strings{question + c.shown});
        EXPECT_TRUE(opener.opened.empty());  // said no
        prompts.confirmAnswers = {true};
        w.openIE();
        EXPECT_EQ(opener.opened, Strings{c.url});  // unchanged
    }
    prompts.shown.clear();
    w.ListView1_Click(0);
    w.ListView1_DblClick();
    EXPECT_EQ(opener.opened.back(), "http://a.example/");
    opener.failure = "xdg-open was not found";
    w.Command4_Click();
    EXPECT_EQ(prompts.shown, Strings{"ブラウザを開けませんでした。\nxdg-open was not found"});
}

TEST_F(CommandsTest, HelpAndAbout) {
    app::Window& w = start();
    w.ophelp_Click();
    EXPECT_EQ(lastShown(), "ファイルのパスが見つかりません。");
    makeFolders(folders.programFolder());
    w.ophelp_Click();
    EXPECT_EQ(lastShown(), "ファイルが見つかりません。");
    writeFile(folders.programFolder() + "Brimmark.html", "<html></html>");
    w.ophelp_Click();
    EXPECT_EQ(opener.opened.back(), folders.programFolder() + "Brimmark.html");
    opener.failure = "no opener";
    w.ophelp_Click();
    EXPECT_EQ(lastShown(), "その他のエラー（no opener）");
    w.openHomePage();
    EXPECT_EQ(opener.opened.back(), app::kHomePage);
    EXPECT_EQ(lastShown(), "ブラウザを開けませんでした。\nno opener");
}

#ifndef _WIN32
// Desktop entries; the Windows shell links have their own tests.
TEST_F(CommandsTest, ProgramShortcuts) {
    makeFolders(folders.desktop());
    makeFolders(folders.sendTo());
    app::Window& w = start();
    w.createShortcuts(true, true);
    const std::string entry = readFile(folders.sendTo() + "Brimmark.desktop");
    EXPECT_NE(entry.find("Exec=\"" + folders.programFolder() + "brimmark\" %f\n"),
              std::string::npos);
    EXPECT_NE(entry.find("MimeType=application/x-mswinurl;\n"), std::string::npos);
    EXPECT_EQ(readFile(folders.desktop() + "Brimmark.desktop"), entry);
    std::filesystem::remove(folders.desktop() + "Brimmark.desktop");
    w.createShortcuts(true, false);
    EXPECT_FALSE(fs.attributes(folders.desktop() + "Brimmark.desktop"));
    EXPECT_TRUE(prompts.shown.empty());
    std::filesystem::remove_all(folders.desktop());
    w.createShortcuts(false, true);  // a missing folder is made
    EXPECT_EQ(readFile(folders.desktop() + "Brimmark.desktop"), entry);
    std::filesystem::remove_all(folders.desktop());
    writeFile(folders.desktop().substr(0, folders.desktop().size() - 1), "");
    w.createShortcuts(false, true);
    EXPECT_EQ(lastShown().rfind("ショートカットを作成できませんでした。\n" + folders.desktop(), 0),
              0u);
}
#endif

#ifndef _WIN32
// Only a desktop entry refuses program paths.
TEST_F(CommandsTest, ProgramPathAShortcutCannotHoldIsRefusedOnce) {
    platform::DesktopEntryShortcuts odd{fs, folders.programFolder() + "a\nb/"};
    app::Window w(app::Services{fs, cp, folders, caseMapper, opener, pages, trash, odd, browsers},
                  view, prompts);
    w.startUp({});
    w.createShortcuts(true, true);
    ASSERT_EQ(prompts.shown.size(), 1u);  // once, not for each folder
    EXPECT_EQ(prompts.shown[0].rfind("ショートカットを作成できませんでした。\n", 0), 0u);
    EXPECT_NE(prompts.shown[0].find("a\\x0ab/brimmark"), std::string::npos);
    EXPECT_FALSE(fs.attributes(folders.sendTo()));
    EXPECT_FALSE(fs.attributes(folders.desktop()));
    w.createShortcuts(false, false);  // nothing chosen: nothing said
    EXPECT_EQ(prompts.shown.size(), 1u);
}
#endif

TEST_F(CommandsTest, CsvTellsWhatTheCodePageLacksOrKeepsItInUtf8) {
    writeShortcut(root + "Café/\U0001F600.url", "http://e/", "=1+1");
    makeFolders(folders.desktop());
    app::Window& w = start();
    prompts.inputAnswers = {"cp"};
    w.toCSV_Click();
    EXPECT_EQ(
        readFile(folders.desktop() + "cp.csv"),
        cp932("名称, フォルダ, URL, コメント") + "\r\n\"?\",\"Caf?\",\"http://e/\",\"'=1+1\"\r\n");
    EXPECT_EQ(lastShown().rfind("コードページにない 2 文字を", 0), 0u);
    w.htmlOptions().setCheck(3, 1);
    prompts.shown.clear();
    prompts.inputAnswers = {"utf8"};
    w.toCSV_Click();
    EXPECT_EQ(readFile(folders.desktop() + "utf8.csv"),
              std::string("\xEF\xBB\xBF名称, フォルダ, URL, コメント\r\n"
                          "\"\U0001F600\",\"Café\",\"http://e/\",\"'=1+1\"\r\n"));
    EXPECT_EQ(prompts.shown.size(), 1u);  // the name asked, nothing to tell
    w.htmlOptions().setCheck(3, 0);
    prompts.inputAnswers = {"utf8"};  // taken, then cancelled: no count either
    w.toCSV_Click();
    EXPECT_EQ(lastShown().find("コードページ"), std::string::npos);
    EXPECT_EQ(setting("HTMLCond", "check3"), "");  // stored only by "閉じる"
    w.htmlOptions().setCheck(3, 1);
    w.htmlOptions().Command1_Click();
    EXPECT_EQ(setting("HTMLCond", "check3"), "11");
    EXPECT_EQ(start().htmlOptions().check(3), 1);
}

TEST_F(CommandsTest, AFailedSettingsWriteIsToldOnceUntilWritesWorkAgain) {
    app::Window& w = start();
    fs.unwritable.insert(folders.settingsFile());
    w.Command10_Click();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "設定を保存できませんでした。\n" + folders.settingsFile() +
                                    "\nディスクに空きがありません。");
    // Every other kind of settings write, still failing: no second message.
    view.position = {150, 150};
    w.SaveWpos();
    search("kw");
    w.keywords().registerFixed("fixed");
    w.autoCopy().Command1_Click();
    w.htmlOptions().Command1_Click();
    w.searchOptions().Command1_Click();
    w.Command10_Click();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(setting("Wposition", "x"), "");
    // Once a write works, the next failure is told again.
    fs.unwritable.clear();
    w.Command10_Click();
    EXPECT_EQ(setting("mmode", "value"), "3");
    fs.unwritable.insert(folders.settingsFile());
    w.everfront_Click();
    w.searchOptions().Command1_Click();
    EXPECT_EQ(prompts.shown.size(), 2u);
}

#ifndef _WIN32
// A real full disk under the settings file (a tmpfs, mounted as root): every
// write fails, the user hears of it once, and the file keeps what it held.
TEST_F(CommandsTest, SettingsOnAFullDiskAreToldOnceAndKeptWhole) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string mountPoint = folders.programFolder();
    makeFolders(mountPoint);
    const std::string mount = "mount -t tmpfs -o size=64k tmpfs '" + mountPoint + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string at;
        ~Unmount() {
            if (std::system(("umount '" + at + "'").c_str()) != 0) ADD_FAILURE() << "umount " << at;
        }
    } unmount{mountPoint};
    setting("mmode", "value", " 3");
    setting("KeyWords", "W0", "kept");
    const std::string before = readFile(folders.settingsFile());
    {
        std::ofstream fill(mountPoint + "fill", std::ios::binary);
        const std::string block(4096, 'x');
        while (fill.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
    }
    app::Window& w = start();
    w.Command10_Click();
    search("news");
    view.position = {30, 30};
    w.SaveWpos();
    w.shutDown();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "設定を保存できませんでした。\n" + folders.settingsFile() +
                                    "\nディスクに空きがありません。");
    EXPECT_EQ(readFile(folders.settingsFile()), before);
}
#endif

TEST_F(CommandsTest, WindowAndCommandLineAgree) {
    for (const char* name : {"a", "b", "c"}) {
        writeShortcut(root + "F/" + name + ".url", std::string("http://") + name + ".example/",
                      "news");
    }
    writeShortcut(root + "News.url", "http://news/", "");
    writeShortcut(root + "F/G/same.url", "http://a.example/more", "");
    setting("SerchCond", "check5", " 10");
    app::Window& w = start();
    // The command line's output, one line per row.
    const auto cli = [&](const std::vector<std::string>& args) {
        platform::Services services;
        services.fs = std::make_unique<SystemFileSystem>();
        services.codePage = std::make_unique<SystemCodePage>("CP932");
        services.caseMapper = std::make_unique<SystemCaseMapper>();
        services.folders = std::make_unique<TestFolders>(dir);
        std::ostringstream out, err;
        if (cli::runCli(args, services, out, err) != 0) return std::string("failed");
        return out.str();
    };
    const auto has = [](const std::string& out, const Strings& texts) {
        std::size_t at = 0;
        for (const auto& t : texts) {
            at = out.find(t, at);
            if (at == std::string::npos) return false;
        }
        return true;
    };
    w.searchFile("news");
    EXPECT_EQ(view.column(), Strings{"News.url"});
    EXPECT_TRUE(has(cli({"--json", "search", "news"}), {"\"News.url\""}));
    EXPECT_EQ(cli({"--json", "search", "news"}).find("a.url"), std::string::npos);
    type(Id::Text4, "http://a.example/");
    w.Command2_Click();
    EXPECT_EQ(view.column(), (Strings{"a.url", "same.url"}));
    EXPECT_TRUE(has(cli({"--json", "same", "http://a.example/"}), {"a.url", "same.url"}));
    w.allFolder();
    EXPECT_TRUE(
        has(cli({"--json", "folders"}), {"\"\\\\\"", "\"\\\\F\\\\\"", "\"\\\\F\\\\G\\\\\""}));
    w.allFile();
    w.ListView1_Click(1);
    const std::string shown = cli({"--json", "show", "\\F\\a.url"});
    EXPECT_NE(shown.find("\"name\":\"" + box(Id::Text3) + "\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"url\":\"" + box(Id::Text4) + "\""), std::string::npos) << shown;
}

}  // namespace
}  // namespace brim::test
