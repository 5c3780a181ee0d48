// The import dialog's rules over a fake screen and a temporary Favorites
// folder.

#include <gtest/gtest.h>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "app/ImportDialog.h"
#include "core/Paths.h"
#include "core/import/Bookmarks.h"

namespace brim::test {
namespace {

// Records what the rules show; the test plays the user's part.
struct FakeImportView final : app::ImportView {
    int source = 0;
    std::string file;
    std::string folder;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::string summary;
    std::vector<bool> busy;

    int sourceIndex() const override { return source; }
    std::string fileText() const override { return file; }
    void setFileText(const std::string& t) override { file = t; }
    std::string folderText() const override { return folder; }
    void setFolderText(const std::string& t) override { folder = t; }
    void setProgress(std::size_t done, std::size_t total) override {
        progress.emplace_back(done, total);
    }
    void setSummary(const std::string& t) override { summary = t; }
    void setBusy(bool b) override { busy.push_back(b); }
};

// Browsers whose profiles lie in the test's folder.
struct FolderBrowsers final : platform::BrowserProfiles {
    std::vector<platform::BrowserFolder> folders;
    std::vector<platform::BrowserFolder> browserFolders() const override { return folders; }
    bool isRunning(platform::BrowserKind, const std::string&) const override { return false; }
};

enum { kFirefox, kChromium, kChrome, kNetscape };

// A Netscape file of `count` bookmarks in one folder, the first address twice.
std::string netscapeFile(int count) {
    std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Sub</H3>\n<DL><p>\n";
    for (int i = 0; i < count; ++i) {
        html += "<DT><A HREF=\"http://a/" + std::to_string(i % (count - 1)) + "\">P" +
                std::to_string(i) + "</A>\n";
    }
    return html + "</DL><p>\n</DL><p>\n";
}

class ImportDialogTest : public CatalogFixture {
  protected:
    FakeImportView view;
    FolderBrowsers browsers;
    app::ScriptedPrompts prompts;
    std::unique_ptr<app::ImportDialog> dialog;

    ImportDialogTest() { makeFolders(root); }
    app::ImportDialog& open() {
        dialog = std::make_unique<app::ImportDialog>(catalog, browsers, prompts, view);
        return *dialog;
    }
};

TEST_F(ImportDialogTest, TheFolderFollowsTheSourceUntilTheUserTypesOne) {
    struct Step {
        const char* what;
        int source;
        const char* file;   // nullptr: as it was
        const char* typed;  // nullptr: the user leaves the box alone
        const char* want;
    };
    const Step steps[] = {
        {"opens on Firefox", kFirefox, nullptr, nullptr, "\\Firefox\\"},
        {"another browser", kChrome, nullptr, nullptr, "\\Google Chrome\\"},
        {"a bookmark file", kNetscape, "/tmp/x/会社の.bookmarks.html", nullptr,
         "\\会社の.bookmarks\\"},
        {"a file not yet named", kNetscape, "", nullptr, "\\Bookmarks\\"},
        {"the user's own folder", kNetscape, nullptr, "\\Mine\\", "\\Mine\\"},
        {"stays over a change of source", kChromium, nullptr, nullptr, "\\Mine\\"},
        {"an emptied box follows again", kChromium, nullptr, "", "\\Chromium\\"},
    };
    app::ImportDialog& d = open();
    for (const Step& s : steps) {
        view.source = s.source;
        if (s.file) view.file = s.file;
        if (s.typed) view.folder = s.typed;
        d.proposeFolder();
        EXPECT_EQ(view.folder, s.want) << s.what;
    }
}

TEST_F(ImportDialogTest, ImportsAChosenFileWithProgressAndSummary) {
    writeFile(dir / "many.html", netscapeFile(250));
    view.source = kNetscape;
    app::ImportDialog& d = open();
    d.fileChosen(dir / "many.html");
    EXPECT_EQ(view.file, dir / "many.html");
    EXPECT_EQ(view.folder, "\\many\\");
    d.Command1_Click();
    EXPECT_TRUE(prompts.shown.empty());
    // A start, every hundredth and the end: not a redraw per bookmark.
    EXPECT_EQ(view.progress, (std::vector<std::pair<std::size_t, std::size_t>>{
                                 {0, 250}, {100, 250}, {200, 250}, {250, 250}}));
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(view.summary, "取り込み: 249 件　重複のため省略: 1 件　取り込めなかったもの: 0 件");
    EXPECT_EQ(profile.ReadShortcutUrl(root + "many/Sub/P248.url"), "http://a/248");
    EXPECT_FALSE(fs.attributes(root + "many/Sub/P249.url"));
}

TEST_F(ImportDialogTest, AProfileFolderOrAFileCanBeGivenForABrowser) {
    const std::string bookmarks =
        R"({"roots":{"bookmark_bar":{"type":"folder","name":"b","children":[)"
        R"({"type":"url","name":"Here","url":"http://here/"}]}}})";
    makeFolders(dir / "prof/Profile 2");
    writeFile(dir / "prof/Profile 2/Bookmarks", bookmarks);
    writeFile(dir / "copy.json", bookmarks);
    view.source = kChromium;
    struct Case {
        std::string given;
        std::string into;
    };
    for (const Case& c :
         {Case{dir / "prof/Profile 2", "\\P\\"}, Case{dir / "copy.json", "\\F\\"}}) {
        open();
        view.file = c.given;
        view.folder = c.into;
        dialog->Command1_Click();
        EXPECT_TRUE(prompts.shown.empty()) << c.given << ": " << prompts.shown.back();
        EXPECT_EQ(
            profile.ReadShortcutUrl(core::FullPath(root, c.into + "ブックマーク バー\\Here.url")),
            "http://here/")
            << c.given;
    }
}

TEST_F(ImportDialogTest, WhatCannotBeReadIsSaidAndNothingIsWritten) {
    const std::string whole = netscapeFile(4);
    writeFile(dir / "cut.html", whole.substr(0, whole.size() / 2));
    makeFolders(dir / "empty profile");
    struct Case {
        const char* what;
        int source;
        std::string file;
        const char* said;
    };
    const Case cases[] = {
        {"no browser profile", kFirefox, "", "見つかりませんでした"},
        {"no file named", kNetscape, "", "見つかりませんでした"},
        {"a damaged file", kNetscape, dir / "cut.html", "何も取り込んでいません"},
        {"a missing file", kNetscape, dir / "gone.html", "何も取り込んでいません"},
        {"a profile without bookmarks", kChrome, dir / "empty profile", "何も取り込んでいません"},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        view = FakeImportView{};
        view.source = c.source;
        view.file = c.file;
        open().Command1_Click();
        ASSERT_EQ(prompts.shown.size(), 1u) << c.what;
        EXPECT_NE(prompts.shown[0].find(c.said), std::string::npos) << c.what << prompts.shown[0];
        EXPECT_TRUE(view.busy.empty()) << c.what;
        EXPECT_EQ(fs.listFolder(root)->size(), 0u) << c.what;
    }
}

TEST(ImportDialogSummary, NamesTheFirstRefusalsAndCountsTheRest) {
    const auto summary = [](std::size_t refused) {
        core::import::ImportSummary s;
        s.imported = 3;
        s.duplicates = 2;
        for (std::size_t i = 0; i < refused; ++i)
            s.refused.push_back({"\\F\\n" + std::to_string(i) + "\x1b.url", "no room", {}});
        return app::ImportDialog::summaryText(s);
    };
    const std::string head = "取り込み: 3 件　重複のため省略: 2 件　取り込めなかったもの: ";
    EXPECT_EQ(summary(0), head + "0 件");
    EXPECT_EQ(summary(1), head + "1 件\n\\F\\n0\\x1b.url（no room）");
    const std::string seven = summary(7);
    EXPECT_NE(seven.find("\\F\\n4\\x1b.url"), std::string::npos);
    EXPECT_EQ(seven.find("\\F\\n5"), std::string::npos);
    EXPECT_TRUE(seven.ends_with("\nほか 2 件"));
}

}  // namespace
}  // namespace brim::test
