// `check` over a temporary Favorites folder whose addresses lead to a server
// of the test's own on 127.0.0.1.

#include <filesystem>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "CliTestSupport.h"
#include "FlakyFileSystem.h"
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

// A state file that cannot be written, on a full disk or refused by the
// file system: the check still prints every outcome, says why it kept none,
// and the last state stays as it was, with nothing beside it.
TEST_F(Check, AStateFileThatCannotBeWrittenIsKeptAndTheOutcomesShow) {
    auto flaky = std::make_unique<FlakyFileSystem>();
    FlakyFileSystem& files = *flaky;
    s.services->fs = std::move(flaky);
    writeShortcut(root + "a.url", server.base() + "/ok");
    writeShortcut(root + "b.url", server.base() + "/gone");
    const std::string folder = s.folders->stateFolder();
    const std::string file = core::LinkState::fileIn(folder);
    const auto namesIn = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(fsPath(folder)))
            names.insert(utf8(e.path().filename()));
        return names;
    };
#ifndef _WIN32
    std::unique_ptr<TestMount> disk;
#endif
    struct Case {
        const char* what;
        std::function<std::string()> before;  // why the fault cannot be made, or nothing
        std::function<void()> fault, mend;
    };
    const std::vector<Case> cases = {
        {"a write the file system refuses", [] { return std::string(); },
         [&] { files.unwritable.insert(file); }, [&] { files.unwritable.clear(); }},
#ifndef _WIN32
        {"a full disk",
         [&] {
             disk = std::make_unique<TestMount>(folder, TestMount::SmallDisk);
             return disk->mounted() ? std::string() : disk->why();
         },
         [&] { disk->fill(); }, [&] { disk->free(); }},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(fsPath(folder));
        makeFolders(folder);
        if (const std::string why = c.before(); !why.empty()) {
            std::cout << "[  SKIPPED ] " << c.what << ": " << why << "\n";
            continue;
        }
        // The last state: a.url alone.
        ASSERT_EQ(run({"check", "a.url"}).rc, kSuccess);
        const std::string old = readFile(file);
        ASSERT_EQ(core::LinkState::read(*s.services->fs, file).links.size(), 1u);
        c.fault();
        const auto names = namesIn();
        const CliRun r = run({"--json", "check"});
        EXPECT_EQ(r.rc, 3);
        const Json rows = Json::parse(r.out, nullptr, false);
        ASSERT_TRUE(rows.is_array()) << r.out;
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0]["status"], "ok");
        EXPECT_EQ(rows[1]["status"], "gone");
        EXPECT_NE(r.err.find("cannot keep the results in " + file + ": the disk is full"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(namesIn(), names);
        c.mend();
        const CliRun later = run({"check"});
        EXPECT_EQ(later.rc, 3);
        EXPECT_EQ(later.err, "");
        EXPECT_EQ(core::LinkState::read(*s.services->fs, file).links.size(), 2u);
#ifndef _WIN32
        disk.reset();
#endif
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
