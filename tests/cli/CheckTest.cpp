// `check` over a temporary Favorites folder whose addresses lead to a server
// of the test's own on 127.0.0.1.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CliTestSupport.h"
#include "LinkServer.h"
#include "core/LinkState.h"

namespace brim::cli::test {
namespace {

using Json = nlohmann::json;

// Every file under `root` with its bytes.
std::map<std::string, std::string> contents(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(fsPath(root)))
        if (e.is_regular_file()) files[utf8(e.path())] = readFile(utf8(e.path()));
    return files;
}

class Check : public CliFixture {
  protected:
    // Whatever proxy the machine names, the test's server is asked directly.
    ScopedEnv noProxy{"no_proxy", "*"};
    LinkServer server{{
        {"/ok", status(200)},
        {"/old", redirect("/new", 301)},
        {"/new", status(200)},
        {"/gone", status(404)},
        {"/private", status(403)},
    }};
};

TEST_F(Check, SortsTheFavoritesByOutcomeAndChangesNone) {
    const std::string b = server.base();
    writeShortcut(root + "a.url", b + "/ok", "説明");
    writeShortcut(root + "private.url", b + "/private");
    writeShortcut(root + "mail.url", "mailto:a@example.com");
    writeFile(root + "notes.txt", "no address");
    writeShortcut(root + "Old/moved.url", b + "/old");
    writeShortcut(root + "Old/gone.url", b + "/gone");
    writeShortcut(root + "Copy/a.url", b + "/ok");
    const auto before = contents(root);

    const CliRun r = run({"--json", "check"});
    EXPECT_EQ(r.rc, 3) << r.err;  // something is gone
    const Json rows = Json::parse(r.out);
    const Json listed = Json::parse(run({"--json", "list"}).out);
    ASSERT_EQ(rows.size(), listed.size());
    const std::map<std::string, std::tuple<std::string, int, std::string>> expected = {
        {"a.url", {"ok", 200, ""}},
        {"private.url", {"error", 403, ""}},
        {"mail.url", {"skipped", 0, ""}},
        {"notes.txt", {"skipped", 0, ""}},
        {"moved.url", {"moved", 200, b + "/new"}},
        {"gone.url", {"gone", 404, ""}},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Json& row = rows[i];
        SCOPED_TRACE(row.dump());
        // In the list's order, with the list's fields.
        for (const char* field : {"folder", "name", "url", "path"})
            EXPECT_EQ(row[field], listed[i][field]);
        const auto& [status, code, location] = expected.at(row["name"]);
        EXPECT_EQ(row["status"], status);
        EXPECT_EQ(row["code"], code);
        EXPECT_EQ(row["location"], location);
    }
    const std::string first = r.out.substr(0, r.out.find('}'));
    std::size_t at = 0;
    for (const char* member : {"folder", "name", "url", "path", "status", "code", "location"}) {
        const std::size_t next = first.find("\"" + std::string(member) + "\":");
        EXPECT_GT(next, at) << member;
        at = next;
    }
    EXPECT_EQ(contents(root), before);

    // Each address once, though two favorites lead to it.
    std::size_t asked = 0;
    for (const auto& hit : server.hits())
        asked += hit.path == "/ok";
    EXPECT_EQ(asked, 1u);
    // The results are kept in the state folder, by address.
    const auto kept =
        core::LinkState::read(*s.services->fs, core::LinkState::fileIn(s.folders->stateFolder()));
    EXPECT_EQ(kept.links.size(), 6u);
    EXPECT_EQ(kept.links.at(b + "/old").result,
              (core::LinkResult{core::LinkStatus::Moved, 200, b + "/new"}));

    // A check of those unchecked for a day takes none of them again.
    const std::size_t hits = server.hits().size();
    const CliRun again = run({"--json", "check", "--unchecked-for", "1"});
    EXPECT_EQ(again.rc, kSuccess) << again.err;
    EXPECT_EQ(again.out, "[]\n");
    EXPECT_EQ(server.hits().size(), hits);
    EXPECT_EQ(contents(root), before);
}

// Whether one line of `text` holds every one of `parts`, in that order.
bool hasLine(const std::string& text, const std::vector<std::string>& parts) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = 0;
        for (const auto& part : parts) {
            at = line.find(part, at);
            if (at == std::string::npos) break;
            at += part.size();
        }
        if (at != std::string::npos) return true;
    }
    return false;
}

TEST_F(Check, ASearchChoosesTheFavoritesAndTheStatusSaysWhetherOneIsGone) {
    writeShortcut(root + "News/daily.url", server.base() + "/ok");
    writeShortcut(root + "News/weekly.url", server.base() + "/gone");
    writeShortcut(root + "Blog/daily.url", server.base() + "/private");
    using Lines = std::vector<std::vector<std::string>>;
    const struct {
        std::vector<std::string> args;
        int rc;
        Lines lines;
    } cases[] = {
        {{"check", "--fields", "name", "daily"},
         kSuccess,
         {{"Status", "Code", "Name", "Folder", "URL", "Location"},
          {"ok", "200", "daily.url", "\\News\\", "/ok"},
          {"error", "403", "daily.url", "\\Blog\\", "/private"},
          {"ok 1, error 1"}}},
        {{"check", "--fields", "folder", "News"},
         3,
         {{"gone", "404", "weekly.url"}, {"ok 1, gone 1"}}},
        {{"check", "--fields", "name", "monthly"}, kSuccess, {{"nothing to check"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = run(c.args);
        EXPECT_EQ(r.rc, c.rc) << r.err;
        for (const auto& line : c.lines)
            EXPECT_TRUE(hasLine(r.out, line)) << testing::PrintToString(line) << " in\n" << r.out;
    }
}

TEST_F(Check, NumbersOutOfRangeAreUsageErrors) {
    writeShortcut(root + "a.url", server.base() + "/ok");
    const std::vector<std::string> wrong[] = {
        {"--per-host", "0"}, {"--per-host", "1.5"}, {"--jobs", "x"},   {"--jobs", "-2"},
        {"--timeout", "0"},  {"--timeout", "1e9"},  {"--timeout", ""}, {"--unchecked-for", "soon"},
    };
    for (const auto& args : wrong) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::vector<std::string> line = {"check"};
        line.insert(line.end(), args.begin(), args.end());
        const CliRun r = run(line);
        EXPECT_EQ(r.rc, kUsage);
        EXPECT_NE(r.err.find(args[0]), std::string::npos) << r.err;
    }
    EXPECT_TRUE(server.hits().empty());
    const CliRun fine = run({"check", "--per-host", "1", "--jobs", "1", "--timeout", "2.5"});
    EXPECT_EQ(fine.rc, kSuccess) << fine.err;
}

}  // namespace
}  // namespace brim::cli::test
