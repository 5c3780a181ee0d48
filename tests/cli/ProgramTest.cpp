// The built program itself, as a shell runs it.

#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace brim::cli::test {
namespace {

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

TEST(Program, ListsTheSampleTree) {
    TempDir dir;
    std::filesystem::copy(BRIMMARK_EXAMPLES_DIR "/Favorites", dir / "Favorites",
                          std::filesystem::copy_options::recursive);
    const CliRun r = runProgram("--favorites " + quoted(dir / "Favorites") + " list --json");
    ASSERT_EQ(r.rc, kSuccess) << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    EXPECT_GE(rows.size(), 30u);
    bool news = false;
    for (const auto& row : rows) {
        news = news || row["folder"] == "\\ニュース\\";
        const std::string path = row["path"];
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_TRUE(news);
}

TEST(Program, WriteErrorsOnStandardOutputFail) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    for (int i = 0; i < 3; ++i)
        writeShortcut(dir / ("Favorites/" + std::to_string(i) + ".url"), "http://a/");
    const std::string favorites = "--favorites " + quoted(dir / "Favorites");
    for (const std::string& args :
         {favorites + " list", favorites + " --json list", favorites + " folders",
          favorites + " export csv --output -", std::string("--help"), std::string("--version")}) {
        SCOPED_TRACE(args);
        const CliRun r = runProgram(args + " >/dev/full");
        EXPECT_EQ(r.rc, kFailure);
        EXPECT_NE(r.err.find("brimmark-cli: cannot write the output"), std::string::npos) << r.err;
    }
    const CliRun ok = runProgram(favorites + " list >/dev/null");
    EXPECT_EQ(ok.rc, kSuccess) << ok.err;
}

TEST(Program, AsksNothingWithoutATerminal) {
    TempDir dir;
    writeShortcut(dir / "Favorites/a.url", "http://a/");
    const CliRun r =
        runProgram("--favorites " + quoted(dir / "Favorites") + " open 'javascript:alert(1)'");
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "Favorites/a.url"));
    const CliRun del = runProgram("--favorites " + quoted(dir / "Favorites") + " delete a.url");
    EXPECT_EQ(del.rc, kFailure);
    EXPECT_TRUE(std::filesystem::exists(dir / "Favorites/a.url"));
}

}  // namespace
}  // namespace brim::cli::test
