// How the command line is read: options anywhere, "--opt=value", "--", help,
// version and exit codes.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <streambuf>

#include "CliTestSupport.h"

namespace brim::cli::test {
namespace {

using Conventions = CliFixture;

TEST_F(Conventions, OptionsAreReadWhereverTheyStand) {
    writeShortcut(root + "a.url", "http://a/", "alpha");
    writeShortcut(root + "Links/b.url", "http://b/", "beta");
    writeShortcut(dir / "Other/o.url", "http://o/", "other");
    const std::string other = dir / "Other";
    // Each command line names the favorites it must print, in order.
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> names;
    } cases[] = {
        {{"--json", "list"}, {"a.url", "b.url"}},
        {{"list", "--json"}, {"a.url", "b.url"}},
        {{"--favorites", other, "--json", "list"}, {"o.url"}},
        {{"--favorites=" + other, "list", "--json"}, {"o.url"}},
        {{"list", "--json", "--favorites", other}, {"o.url"}},
        {{"search", "beta", "--json"}, {"b.url"}},
        {{"search", "--fields=url", "--json", "b"}, {"b.url"}},
        {{"--json", "search", "--fields", "folder", "links"}, {"b.url"}},
        {{"--json", "search", "--or", "alpha", "beta"}, {"a.url", "b.url"}},
        {{"--json", "search", "alpha", "--and", "beta"}, {}},
        // After "--" every word is a keyword, even one that looks like an option.
        {{"--json", "search", "--", "--json"}, {}},
        {{"--json", "search", "--and", "alpha", "--", "--or"}, {}},
        {{"--json", "search", "--or", "alpha", "--", "--or"}, {"a.url"}},
        {{"--json", "same", "--", "http://b/"}, {"b.url"}},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        ASSERT_EQ(r.rc, kSuccess) << r.err;
        std::vector<std::string> names;
        for (const auto& row : nlohmann::json::parse(r.out))
            names.push_back(row["name"]);
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(Conventions, UsageErrorsExitTwoWithTheVerbsUsage) {
    makeFolders(root);
    const struct {
        std::vector<std::string> args;
        std::string message;  // in the first line
        std::string usage;    // the usage line's start; empty: the program's
    } cases[] = {
        {{}, "no verb given", ""},
        {{"--json"}, "no verb given", ""},
        {{"frobnicate"}, "frobnicate", ""},
        {{"--colour", "list"}, "--colour", "list"},
        {{"--colour"}, "--colour", ""},
        {{"--favorites"}, "--favorites", ""},
        {{"--favorites", "", "list"}, "--favorites needs a folder", "list"},
        {{"list", "extra"}, "extra", "list"},
        {{"list", "--", "extra"}, "list takes fewer arguments", "list"},
        {{"show"}, "show needs more arguments", "show PATH"},
        {{"show", "a", "b"}, "", "show PATH"},
        {{"same"}, "same needs more arguments", "same URL"},
        {{"search", "--and", "--or", "x"}, "--or", "search"},
        {{"search", "--fields", "title", "x"}, "title", "search"},
        {{"search", "--fields"}, "--fields", "search"},
        {{"search", "--regex", "x"}, "--regex", "search"},
        {{"save", "--comment", "c"}, "save needs --name or --url", "save"},
        {{"save", "--name"}, "--name", "save"},
        {{"delete", "--yes"}, "delete needs more arguments", "delete"},
        {{"prune-empty", "--now"}, "--now", "prune-empty"},
        {{"export"}, "export needs more arguments", "export"},
        {{"export", "pdf"}, "unknown format pdf", "export"},
        {{"export", "html", "--output"}, "--output", "export"},
        {{"open"}, "open needs more arguments", "open"},
        {{"open", ""}, "open needs an address", "open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = run(c.args);
        EXPECT_EQ(r.rc, kUsage) << r.err;
        EXPECT_EQ(r.out, "");
        const std::string first = r.err.substr(0, r.err.find('\n'));
        EXPECT_EQ(first.rfind("brimmark-cli: ", 0), 0u) << r.err;
        EXPECT_NE(first.find(c.message), std::string::npos) << r.err;
        const std::string usage = "\nusage: brimmark-cli [--favorites DIR] [--json] [--no-cache] " +
                                  (c.usage.empty() ? "VERB" : c.usage);
        EXPECT_NE(r.err.find(usage), std::string::npos) << r.err;
    }
}

TEST_F(Conventions, HelpOfTheProgramAndOfEachVerb) {
    const CliRun program = run({"--help"});
    EXPECT_EQ(program.rc, kSuccess);
    EXPECT_EQ(program.err, "");
    EXPECT_EQ(run({"-h"}).out, program.out);
    for (const auto& verb : allCommands()) {
        const std::string name(verb->name());
        SCOPED_TRACE(name);
        EXPECT_NE(program.out.find(name), std::string::npos) << program.out;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{name, "--help"}, {name, "-h"}, {"--json", name, "--help"}}) {
            const CliRun r = run(args);
            EXPECT_EQ(r.rc, kSuccess);
            EXPECT_NE(r.out.find("brimmark-cli " + name), std::string::npos) << r.out;
            EXPECT_NE(r.out.find(std::string(verb->summary())), std::string::npos) << r.out;
            EXPECT_NE(r.out, program.out);
        }
    }
    // A verb's help names its own options and no other verb's.
    const std::string search = run({"search", "--help"}).out;
    EXPECT_NE(search.find("--fields"), std::string::npos);
    EXPECT_EQ(search.find("--dry-run"), std::string::npos);
}

TEST_F(Conventions, VersionIsTheProjects) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"list", "--version"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.rc, kSuccess);
        EXPECT_EQ(r.out, "brimmark-cli " BRIMMARK_VERSION "\n");
    }
}

// A stream whose every write fails, as standard output on a full disk.
class FullBuffer final : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(Conventions, OutputThatCannotBeWrittenIsAFailure) {
    writeShortcut(root + "a.url", "http://a/");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"list"},
                                                 {"--json", "list"},
                                                 {"folders"},
                                                 {"show", "a.url"},
                                                 {"export", "csv", "--output", "-"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(runCli(args, *s.services, out, err), kFailure);
        EXPECT_NE(err.str().find("brimmark-cli: cannot write the output"), std::string::npos);
    }
}

// Special folders whose Favorites folder is relative, as a relative
// BRIMMARK_FAVORITES gives it.
class RelativeFavorites final : public platform::KnownFolders {
  public:
    explicit RelativeFavorites(const TempDir& dir) : real_(dir) {}
    std::string favorites() const override { return native("Env/"); }
    std::string desktop() const override { return real_.desktop(); }
    std::string sendTo() const override { return real_.sendTo(); }
    std::string programFolder() const override { return real_.programFolder(); }
    std::string settingsFile() const override { return real_.settingsFile(); }

  private:
    TestFolders real_;
};

TEST_F(Conventions, FavoritesFolderIsMadeAbsolute) {
    writeShortcut(dir / "work/Fav/a.url", "http://a/");
    writeShortcut(dir / "work/Env/e.url", "http://e/");
    s.services->folders = std::make_unique<RelativeFavorites>(dir);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(fsPath(dir / "work"));
    const CliRun option = run({"--json", "--favorites", "Fav", "list"});
    const CliRun environment = run({"--json", "list"});
    std::filesystem::current_path(before);
    const struct {
        const CliRun& run;
        std::string path;
    } cases[] = {{option, dir / native("work/Fav/a.url")},
                 {environment, dir / native("work/Env/e.url")}};
    for (const auto& c : cases) {
        ASSERT_EQ(c.run.rc, kSuccess) << c.run.err;
        const auto rows = nlohmann::json::parse(c.run.out);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0]["path"], c.path);
    }
}

}  // namespace
}  // namespace brim::cli::test
