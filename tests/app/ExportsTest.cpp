// The exports as the window and the command line share them: each format's
// names, and the window's questions for a free file name.
#include <gtest/gtest.h>

#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "app/Exports.h"

namespace brim::test {
namespace {

using app::ExportFormat;
using Strings = std::vector<std::string>;

TEST(Exports, EachFormatHasItsWordAndProposedName) {
    const struct {
        ExportFormat format;
        const char* word;
        const char* file;
    } cases[] = {
        {ExportFormat::Html, "html", "お気に入り一覧.html"},
        {ExportFormat::Csv, "csv", "お気に入り一覧.csv"},
        {ExportFormat::Netscape, "netscape", "ブックマーク.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(app::exportFormatNamed(c.word), c.format);
        EXPECT_STREQ(app::exportKind(c.format).word, c.word);
        EXPECT_EQ(app::proposedFileName(c.format), c.file);
    }
    for (const char* word : {"", "HTML", "htm", "netscape "})
        EXPECT_EQ(app::exportFormatNamed(word), std::nullopt) << word;
}

class ExportToFolder : public ::testing::Test {
  protected:
    TempDir dir;
    std::string folder = dir.path();
    FlakyFileSystem fs;
    app::ScriptedPrompts prompts;
    int renders = 0;

    bool run(ExportFormat format, std::size_t replaced = 0) {
        return app::exportToFolder(format, prompts, fs, folder, [&] {
            ++renders;
            return app::RenderedExport{"bytes", replaced};
        });
    }
};

TEST_F(ExportToFolder, AsksAgainUntilTheNameIsUsableAndRendersOnce) {
    writeFile(folder + "taken.csv", "keep");
    prompts.inputAnswers = {"a/b", "taken", "list.csv"};
    EXPECT_TRUE(run(ExportFormat::Csv));
    const std::string question = "Input CSV-file name: 保存するCSVファイルの名前を入力してください";
    EXPECT_EQ(prompts.shown, (Strings{question, "ファイル名に「\\」や「/」は使えません。", question,
                                      "そのファイルはすでに存在します ", question}));
    EXPECT_EQ(prompts.proposed, (Strings{"お気に入り一覧", "お気に入り一覧", "お気に入り一覧"}));
    EXPECT_EQ(readFile(folder + "taken.csv"), "keep");
    EXPECT_EQ(readFile(folder + "list.csv"), "bytes");
    EXPECT_EQ(renders, 1);
}

TEST_F(ExportToFolder, EndsWithoutAFileWhenCancelledOrRefused) {
    const struct {
        const char* what;
        std::optional<std::string> answer;
        bool refused;
        std::size_t messages;  // after the question
    } cases[] = {
        {"cancelled", std::nullopt, false, 0},
        {"an empty name", "", false, 0},
        {"a full disk", "full", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.shown.clear();
        prompts.inputAnswers = {c.answer};
        if (c.refused) fs.unwritable.insert(folder + "full.html");
        EXPECT_FALSE(run(ExportFormat::Html));
        ASSERT_EQ(prompts.shown.size(), 1 + c.messages);
        if (c.refused) {
            EXPECT_TRUE(
                prompts.shown[1].starts_with("「" + folder + "full.html」を作成できませんでした。"))
                << prompts.shown[1];
        }
        EXPECT_FALSE(fs.attributes(folder + "full.html"));
    }
}

TEST_F(ExportToFolder, SaysHowManyCharactersTheCodePageLacked) {
    prompts.inputAnswers = {"list"};
    EXPECT_TRUE(run(ExportFormat::Csv, 3));
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(
        prompts.shown[1].starts_with("コードページにない 3 文字を「?」に置き換えて出力しました。"))
        << prompts.shown[1];
}

}  // namespace
}  // namespace brim::test
