// Hostile trees and files, and faults while writing: the program never
// crashes on what it finds, skips what it cannot use, and never loses a byte
// of the user's fs.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>

#include "CatalogFixture.h"
#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "core/Editing.h"
#include "core/Export.h"
#include "core/Search.h"

namespace brim::core {
namespace {

namespace fs = std::filesystem;
using test::writeFile;

// Every regular file below `root` and its bytes.
std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (auto it =
             fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied);
         it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_symlink()) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file()) files[it->path().string()] = test::readFile(it->path().string());
    }
    return files;
}

class HostileTree : public test::CatalogFixture {
  protected:
    void SetUp() override {
        const std::string big = "[InternetShortcut]\r\nURL=http://big/\r\n[CommentKey]\r\nWords=" +
                                std::string(20u << 20, 'x') + "\r\n";
        std::string binary(4096, '\0');
        std::mt19937 rng(7);
        for (char& c : binary)
            c = static_cast<char>(rng());
        const std::map<std::string, std::string> contents = {
            {"empty.url", ""},
            {"binary.url", binary},
            {"nul.url", std::string(1000, '\0')},
            {"big-line.url", big},
            {"utf16.url", std::string("\xFF\xFE[\0I\0]\0\r\0\n\0", 12)},
            {"utf8-bom.url", "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://bom/\r\n"},
            {"cr-only.url", "[InternetShortcut]\rURL=http://cr/\r[CommentKey]\rWords=cr\r"},
            {"no-bracket.url", "[InternetShortcut\r\nURL=http://nb/\r\n"},
            {"lead-at-end.url", "[CommentKey]\r\nWords=abc\x81"},
            {"bad-cp932.url", "[CommentKey]\r\nWords=\x80\xA0\xFD\xFF\x81\x20"},
            {"name with blanks.url", "[InternetShortcut]\r\nURL=http://b/\r\n"},
            {"quote\"s'.url", ""},
            {"100%.url", ""},
            {"-leading.url", ""},
            {"new\nline.url", "[CommentKey]\r\nWords=nl\r\n"},
            {"bad\xFF\xFEutf8.url", ""},
            {std::string(251, 'n') + ".url", ""},
        };
        for (const auto& [name, bytes] : contents)
            writeFile(root + "Odd/" + name, bytes);
        std::string deep = root;
        for (int i = 0; i < 200; ++i)
            deep += "d/";
        writeFile(deep + "deep.url", "[InternetShortcut]\r\nURL=http://deep/\r\n");
        for (int i = 0; i < 10000; ++i) {
            writeFile(root + "Many/f" + std::to_string(i) + ".url",
                      "[InternetShortcut]\r\nURL=http://m/" + std::to_string(i) + "\r\n");
        }
        test::makeFolders(root + "Loop");
        EXPECT_EQ(symlink("../Loop", (root + "Loop/again").c_str()), 0);
        EXPECT_EQ(symlink("b.url", (root + "Loop/a.url").c_str()), 0);
        EXPECT_EQ(symlink("a.url", (root + "Loop/b.url").c_str()), 0);
        EXPECT_EQ(mkfifo((root + "Odd/pipe.url").c_str(), 0644), 0);
    }
};

TEST_F(HostileTree, EveryOperationEndsInOrderAndChangesNothing) {
    const auto before = snapshot(root);
    std::vector<WalkProblem> problems;
    const auto note = [&](const WalkProblem& p) { problems.push_back(p); };

    std::vector<FavoriteItem> rows;
    ASSERT_TRUE(catalog.allFavorites(rows, note));
    std::map<std::string, std::string> comments;
    for (const auto& r : rows)
        comments[r.folder + r.name] = r.comment;
    EXPECT_EQ(comments.size(), rows.size());
    EXPECT_EQ(comments.at("\\Odd\\big-line.url").size(), 20u << 20);
    EXPECT_EQ(comments.at("\\Odd\\cr-only.url"), "cr");
    EXPECT_EQ(comments.at("\\Odd\\new\nline.url"), "nl");
    EXPECT_EQ(comments.at("\\Odd\\lead-at-end.url"), "abc\uFFFD");
    EXPECT_EQ(comments.at("\\Odd\\empty.url"), "");
    EXPECT_FALSE(comments.count("\\Odd\\pipe.url"));
    EXPECT_FALSE(comments.count("\\Loop\\a.url"));  // a link that leads nowhere
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const FavoriteItem& r) { return r.folder == "\\Many\\"; }),
              10000);
    ASSERT_EQ(problems.size(), 1u);  // the name in no encoding, listed with U+FFFD
    EXPECT_EQ(problems[0].kind, WalkProblem::Kind::ShownReplaced);
    EXPECT_TRUE(comments.count("\\Odd\\bad\uFFFD\uFFFDutf8.url"));
    EXPECT_EQ(catalog.fieldsOf("\\Odd\\utf8-bom.url").url, "http://bom/");

    const Search search(catalog, mapper);
    std::vector<std::string> found;
    ASSERT_TRUE(search.SearchDir(root, SplitKeywords("deep \"http://b\" xxxxx"), {},
                                 [&](FavoriteItem&& r) { found.push_back(r.name); }));
    // deep.url; big-line.url, utf8-bom.url and "name with blanks.url" by address.
    EXPECT_EQ(found.size(), 4u);

    std::size_t folderCount = 0;
    ASSERT_TRUE(catalog.ListFolder(root, [&](std::string&&) { ++folderCount; }));
    EXPECT_EQ(folderCount, 204u);  // the root, Odd, Many, Loop and the 200 levels

    std::vector<ListRow> listRows;
    for (const auto& r : rows)
        listRows.push_back({r.name, r.folder});
    const Exporter exporter(catalog);
    EXPECT_FALSE(exporter.HtmlPage(listRows, false, {true, true}).empty());
    EXPECT_FALSE(exporter.CsvFile(listRows, false).empty());
    EXPECT_FALSE(exporter.NetscapeFile(listRows, false, 0).empty());

    std::vector<std::string> removed;
    std::vector<PruneProblem> pruneProblems;
    RemoveEmptyFolders(
        catalog, false, [&](const std::string& p) { removed.push_back(p); }, pruneProblems);
    EXPECT_TRUE(removed.empty());
    EXPECT_TRUE(pruneProblems.empty());

    EXPECT_EQ(snapshot(root), before);
}

TEST_F(HostileTree, SavingIntoOddFilesKeepsTheirOtherBytes) {
    // Files that hold neither key: both keys are added, nothing else changes.
    for (const char* name : {"binary", "nul", "utf16", "no-bracket", "empty"}) {
        const std::string path = root + "Odd/" + name + ".url";
        const std::string before = test::readFile(path);
        ASSERT_TRUE(Savefiles(catalog, {name, "http://saved/", "saved", "\\Odd\\"})) << name;
        const std::string after = test::readFile(path);
        EXPECT_EQ(catalog.fieldsOf(std::string("\\Odd\\") + name + ".url").url, "http://saved/")
            << name;
        // The old bytes all stand, in order, around what was added.
        std::size_t p = 0;
        while (p < before.size() && before[p] == after[p])
            ++p;
        const std::string tail = before.substr(p);
        EXPECT_EQ(after.substr(after.size() - tail.size()), tail) << name;
    }
}

TEST_F(HostileTree, AFolderReplacedByAFileDuringTheWalkIsSkipped) {
    std::vector<WalkProblem> problems;
    std::size_t rows = 0;
    ASSERT_TRUE(catalog.ListDir(
        root,
        [&](FavoriteItem&&) {
            if (rows++ == 0) {
                fs::remove_all(root + "Many");
                writeFile(root + "Many", "now a file");
            }
        },
        [&](const WalkProblem& p) { problems.push_back(p); }));
    EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [&](const WalkProblem& p) {
        return p.kind == WalkProblem::Kind::Unreadable && p.path == root + "Many/";
    }));
}

class WriteFaults : public testing::Test {
  protected:
    test::TempDir dir;
    test::TestFolders folders{dir};
    test::SystemFileSystem fs;
    test::SystemCodePage cp;
    Profile profile{fs, cp, folders};
};

// A write that the file system stops part way (here: a file size limit)
// leaves the old file as it was and says so.
TEST_F(WriteFaults, AWriteCutShortLeavesTheOldFile) {
    const std::string path = dir / "a.url";
    const std::string old = "[InternetShortcut]\r\nURL=http://old/\r\n";
    test::writeFile(path, old);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto s = profile.WriteShortcutComment(path, std::string(1000, 'c'));
        _exit(!s && s.io.error != platform::IoError::None ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Two programs saving different keys of one file at once lose neither.
TEST_F(WriteFaults, ConcurrentSavesOfDifferentKeysBothStay) {
    const std::string path = dir / "shared.url";
    test::writeFile(path, "[InternetShortcut]\r\nURL=http://start/\r\n");
    constexpr int kRounds = 200;
    const auto writer = [&](const char* key) {
        for (int i = 0; i <= kRounds; ++i) {
            // On a loaded machine the other writer may hold the lock past the
            // wait; that save is refused whole and is simply made again.
            for (;;) {
                const auto s = profile.write(path, "Keys", key, std::to_string(i));
                if (s) break;
                if (s.io.error != platform::IoError::Busy) _exit(2);
            }
        }
        _exit(0);
    };
    const pid_t a = fork();
    if (a == 0) writer("a");
    const pid_t b = fork();
    if (b == 0) writer("b");
    int sa = 0, sb = 0;
    waitpid(a, &sa, 0);
    waitpid(b, &sb, 0);
    ASSERT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0);
    ASSERT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0);
    EXPECT_EQ(profile.read(path, "Keys", "a"), std::to_string(kRounds));
    EXPECT_EQ(profile.read(path, "Keys", "b"), std::to_string(kRounds));
    EXPECT_EQ(profile.ReadShortcutUrl(path), "http://start/");
}

// A folder that refuses writes, whether to the user (its permissions) or to
// root too (a read-only file system): the save says it was denied and the
// favorite keeps its bytes.
TEST_F(WriteFaults, AReadOnlyFolderIsReportedAndUnchanged) {
    const std::string folder = dir / "ro";
    const std::string file = folder + "/a.url";
    const std::string old = "[InternetShortcut]\r\nURL=http://old/\r\n";
    std::unique_ptr<test::TestMount> mount;
    const struct {
        const char* what;
        // Why the folder cannot be made read-only here, or nothing.
        std::function<std::string()> fault;
    } cases[] = {
        {"permissions",
         [&] {
             if (geteuid() == 0) return std::string("root writes into read-only folders");
             chmod(folder.c_str(), 0555);
             return std::string();
         }},
        {"a read-only file system",
         [&] {
             mount = std::make_unique<test::TestMount>(folder, test::TestMount::ReadOnlyView);
             return mount->mounted() ? std::string() : mount->why();
         }},
    };
    int made = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::makeFolders(folder);
        test::writeFile(file, old);
        if (const std::string why = c.fault(); !why.empty()) {
            std::cout << "[  SKIPPED ] " << c.what << ": " << why << "\n";
            continue;
        }
        ++made;
        const auto s = profile.WriteShortcutUrl(file, "http://new/");
        EXPECT_EQ(s.io.error, platform::IoError::Denied);
        EXPECT_EQ(test::readFile(file), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        mount.reset();
        chmod(folder.c_str(), 0755);
    }
    // Root or not, one of the two is made.
    if (made == 0) GTEST_SKIP() << "no read-only folder could be made here";
}

}  // namespace
}  // namespace brim::core
