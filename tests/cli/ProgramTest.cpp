// The built program itself, as a shell runs it.

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace brim::cli::test {
namespace {

TEST(Program, ListsTheSampleTree) {
    TempDir dir;
    std::filesystem::copy(BRIMMARK_EXAMPLES_DIR "/Favorites", fsPath(dir / "Favorites"),
                          std::filesystem::copy_options::recursive);
    const CliRun r = runProgram({"--favorites", dir / "Favorites", "list", "--json"});
    ASSERT_EQ(r.rc, kSuccess) << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    EXPECT_GE(rows.size(), 30u);
    bool news = false;
    for (const auto& row : rows) {
        news = news || row["folder"] == "\\ニュース\\";
        const std::string path = row["path"];
        EXPECT_TRUE(exists(path)) << path;
    }
    EXPECT_TRUE(news);
}

#ifndef _WIN32
// A full device exists on POSIX systems only.
TEST(Program, WriteErrorsOnStandardOutputFail) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    for (int i = 0; i < 3; ++i)
        writeShortcut(dir / ("Favorites/" + std::to_string(i) + ".url"), "http://a/");
    const std::string favorites = dir / "Favorites";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--favorites", favorites, "list"},
             {"--favorites", favorites, "--json", "list"},
             {"--favorites", favorites, "folders"},
             {"--favorites", favorites, "export", "csv", "--output", "-"},
             {"--help"},
             {"--version"}}) {
        SCOPED_TRACE(args.back());
        const CliRun r = runProgram(args, "/dev/full");
        EXPECT_EQ(r.rc, kFailure);
        EXPECT_NE(r.err.find("brimmark-cli: cannot write the output"), std::string::npos) << r.err;
    }
    const CliRun ok = runProgram({"--favorites", favorites, "list"}, "/dev/null");
    EXPECT_EQ(ok.rc, kSuccess) << ok.err;
}
#endif

TEST(Program, AsksNothingWithoutATerminal) {
    TempDir dir;
    writeShortcut(dir / "Favorites/a.url", "http://a/");
    const CliRun r = runProgram({"--favorites", dir / "Favorites", "open", "javascript:alert(1)"});
    EXPECT_EQ(r.rc, kFailure);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_TRUE(exists(dir / "Favorites/a.url"));
    const CliRun del = runProgram({"--favorites", dir / "Favorites", "delete", "a.url"});
    EXPECT_EQ(del.rc, kFailure);
    EXPECT_TRUE(exists(dir / "Favorites/a.url"));
}

}  // namespace
}  // namespace brim::cli::test
