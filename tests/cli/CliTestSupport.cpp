#include "CliTestSupport.h"

#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::cli::test {

platform::IoResult FolderTrash::moveToTrash(const std::string& path) {
    for (const auto& r : refuse) {
        if (r == path) return {platform::IoError::Denied, EACCES};
    }
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::filesystem::rename(path, folder_ + std::filesystem::path(path).filename().string(), ec);
    if (ec) return {platform::IoError::Other, ec.value()};
    return {};
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_, old_->c_str(), 1);
    } else {
        unsetenv(name_);
    }
}

TestServices::TestServices(const TempDir& dir) : services(std::make_unique<platform::Services>()) {
    auto f = std::make_unique<TestFolders>(dir);
    auto o = std::make_unique<RecordingOpener>();
    auto p = std::make_unique<FixedPages>();
    auto t = std::make_unique<FolderTrash>(dir / "trash/");
    folders = f.get();
    opener = o.get();
    pages = p.get();
    trash = t.get();
    services->fs = std::make_unique<platform::PosixFileSystem>();
    services->codePage = std::make_unique<platform::IconvCodePage>("CP932");
    services->caseMapper = std::make_unique<platform::LocaleCaseMapper>();
    services->folders = std::move(f);
    services->opener = std::move(o);
    services->pages = std::move(p);
    services->trash = std::move(t);
}

CliRun runWith(platform::Services& services, const std::vector<std::string>& args,
               std::istream* questions) {
    std::ostringstream out, err;
    const int rc = runCli(args, services, out, err, questions);
    return {rc, out.str(), err.str()};
}

CliRun runProgram(const std::string& arguments) {
    TempDir dir;
    const std::string command =
        std::string(BRIMMARK_CLI_PATH) + " " + arguments + " 2>'" + dir.path() + "err' </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, {}, {}};
    std::string out;
    char buf[4096];
    while (const std::size_t n = fread(buf, 1, sizeof buf, pipe))
        out.append(buf, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, readFile(dir / "err")};
}

}  // namespace brim::cli::test
