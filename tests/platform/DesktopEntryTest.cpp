// The program's desktop entry: what it says, where it goes, and program
// paths that the format cannot hold.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "TestSupport.h"
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::platform {
namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

// desktop-file-validate's verdict on a file; nullopt when the tool is missing.
std::optional<std::string> validate(const std::string& path) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return std::nullopt;
    const std::string command = "desktop-file-validate '" + path + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buf[256];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out += "(failed)";
    return out;
}

std::string execLine(const std::string& entry) {
    const auto at = entry.find("\nExec=");
    if (at == std::string::npos) return {};
    return entry.substr(at + 1, entry.find('\n', at + 1) - at - 1);
}

// Program folders with the characters the quoting rules name, and the Exec
// line each must give.
TEST(DesktopEntry, ExecQuotesAndEscapesTheProgramPath) {
    struct Case {
        std::string folder;
        std::string exec;
    } const cases[] = {
        {"/opt/brim/", R"(Exec="/opt/brim/brimmark" %f)"},
        {"/opt/my apps/", R"(Exec="/opt/my apps/brimmark" %f)"},
        {"/opt/100%/", R"(Exec="/opt/100%%/brimmark" %f)"},
        {"/opt/%f%u/", R"(Exec="/opt/%%f%%u/brimmark" %f)"},
        {"/opt/a\"b/", R"(Exec="/opt/a\\"b/brimmark" %f)"},
        {"/opt/it's/", R"(Exec="/opt/it's/brimmark" %f)"},
        {"/opt/$HOME/", R"(Exec="/opt/\\$HOME/brimmark" %f)"},
        {"/opt/`id`/", R"(Exec="/opt/\\`id\\`/brimmark" %f)"},
        {"/opt/back\\slash/", R"(Exec="/opt/back\\\\slash/brimmark" %f)"},
        {"/opt/a;b&c|d<e>~*?#()/", R"(Exec="/opt/a;b&c|d<e>~*?#()/brimmark" %f)"},
        {"/opt/日本語/", R"(Exec="/opt/日本語/brimmark" %f)"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const auto entry = desktopEntryText(c.folder);
        ASSERT_TRUE(entry);
        EXPECT_EQ(execLine(*entry), c.exec);
        test::writeFile(dir / "Brimmark.desktop", *entry);
        if (const auto verdict = validate(dir / "Brimmark.desktop")) {
            EXPECT_EQ(*verdict, "");
        }
    }
}

TEST(DesktopEntry, PathsTheFormatCannotHoldAreRefused) {
    const std::string folders[] = {"/opt/a\nb/",      "/opt/a\rb/",    "/opt/\x1b[31m/",
                                   "/opt/tab\there/", "/opt/del\x7f/", "/opt/c1\u0085/",
                                   "/opt/\xff\xfe/"};
    test::TempDir dir;
    PosixFileSystem fs;
    for (const auto& folder : folders) {
        SCOPED_TRACE(folder);
        EXPECT_FALSE(desktopEntryText(folder));
        DesktopEntryShortcuts shortcuts(fs, folder);
        EXPECT_FALSE(shortcuts.refusal().empty());
        EXPECT_FALSE(shortcuts.create(dir / "apps/"));
        EXPECT_FALSE(std::filesystem::exists(dir / "apps"));  // nothing made, nothing written
    }
}

TEST(DesktopEntry, MissingFoldersAreMadePrivateAndExistingOnesKeepTheirModes) {
    test::TempDir dir;
    PosixFileSystem fs;
    DesktopEntryShortcuts shortcuts(fs, "/opt/brim/");
    EXPECT_TRUE(shortcuts.refusal().empty());
    test::makeFolders(dir / "home");
    ASSERT_EQ(::chmod((dir / "home").c_str(), 0751), 0);
    const std::string apps = dir / "home/.local/share/applications/";
    ASSERT_TRUE(shortcuts.create(apps));
    EXPECT_EQ(modeOf(dir / "home"), 0751u);
    for (const char* made :
         {"home/.local", "home/.local/share", "home/.local/share/applications"}) {
        EXPECT_EQ(modeOf(dir / made), 0700u) << made;
    }
    const std::string entry = test::readFile(apps + "Brimmark.desktop");
    EXPECT_NE(entry.find("\nIcon=brimmark\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/x-mswinurl;\n"), std::string::npos);
    EXPECT_EQ(modeOf(apps + "Brimmark.desktop"), 0755u);
    if (const auto verdict = validate(apps + "Brimmark.desktop")) {
        EXPECT_EQ(*verdict, "");
    }
    ASSERT_TRUE(shortcuts.create(apps));  // again: still the one file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(apps),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(DesktopEntry, AFileInTheWayIsAFailureNotACrash) {
    test::TempDir dir;
    PosixFileSystem fs;
    DesktopEntryShortcuts shortcuts(fs, "/opt/brim/");
    test::writeFile(dir / "Desktop", "a file, not a folder");
    EXPECT_FALSE(shortcuts.create(dir / "Desktop/"));
    EXPECT_FALSE(shortcuts.create(dir / "Desktop/sub/"));
    EXPECT_EQ(test::readFile(dir / "Desktop"), "a file, not a folder");
}

}  // namespace
}  // namespace brim::platform
