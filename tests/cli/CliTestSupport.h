#pragma once
// A services set over temporary folders for the command line's tests, with
// fakes where the real service would reach the desktop.

#include <gtest/gtest.h>

#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "cli/Command.h"
#include "platform/Services.h"

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace brim::cli::test {

using namespace brim::test;

class RecordingOpener final : public platform::Opener {
  public:
    std::string open(const std::string& target) override {
        opened.push_back(target);
        return failure;
    }
    std::vector<std::string> opened;
    std::string failure;  // what each open answers; empty: it started
};

class FixedPages final : public platform::PageSource {
  public:
    std::vector<platform::BrowserPage> openPages() override { return pages; }
    std::vector<std::string> skipped() const override { return skips; }
    std::vector<platform::BrowserPage> pages;
    std::vector<std::string> skips;
};

struct CliRun {
    int rc;
    std::string out, err;
};

// The services of the tests: the system's file system and CP932 over
// TestFolders, the fakes above for opening, pages and the trash.
struct TestServices {
    explicit TestServices(const TempDir& dir);
    std::unique_ptr<platform::Services> services;
    TestFolders* folders;
    RecordingOpener* opener;
    FixedPages* pages;
    FolderTrash* trash;
};

CliRun runWith(platform::Services& services, const std::vector<std::string>& args,
               std::istream* questions = nullptr);

// Runs the built program with `args` and no input; standard output is
// captured, or written to `output` when one is named.
CliRun runProgram(const std::vector<std::string>& args, const std::string& output = {});
#ifndef _WIN32
// Starts the built program with `args` and returns at once; its standard
// output goes to the file `output`, its errors to `errors`, and its home and
// XDG folders lie in `home`. The status waitpid gives comes from
// waitProgram.
pid_t startProgram(const std::vector<std::string>& args, const std::string& home,
                   const std::string& output = "/dev/null",
                   const std::string& errors = "/dev/null");
int waitProgram(pid_t pid);
#endif
#ifdef _WIN32
// The command line that starts the built program with `args`.
std::wstring commandLineOf(const std::vector<std::string>& args);
#endif

// One test's command line over its own temporary folders.
class CliFixture : public testing::Test {
  protected:
    TempDir dir;
    TestServices s{dir};
    std::string root = s.folders->favorites();

    CliRun run(const std::vector<std::string>& args, std::istream* questions = nullptr) {
        return runWith(*s.services, args, questions);
    }
};

}  // namespace brim::cli::test
