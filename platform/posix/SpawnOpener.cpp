#include "platform/posix/SpawnOpener.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace brim::platform {
namespace {

// The program's path: as given when it holds a "/", else found on $PATH.
std::string resolve(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate =
            (end > start ? dirs.substr(start, end - start) : ".") + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

}  // namespace

SpawnOpener::SpawnOpener() {
    const char* env = std::getenv("BRIMMARK_OPENER");
    program_ = env && *env ? env : "xdg-open";
}

std::string SpawnOpener::open(const std::string& target) {
    const std::string path = resolve(program_);
    if (path.empty()) return program_ + " was not found";
    // Everything the children need is prepared before fork: after it they only
    // make calls that are safe there.
    std::vector<char*> argv{const_cast<char*>(program_.c_str()), const_cast<char*>(target.c_str()),
                            nullptr};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return std::strerror(errno);

    const pid_t child = fork();
    if (child < 0) {
        const int e = errno;
        close(report[0]);
        close(report[1]);
        return std::strerror(e);
    }
    if (child == 0) {
        // The middle process exits at once, so the opener is nobody's child
        // here and is reaped by the system.
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, STDIN_FILENO);
            }
            execve(path.c_str(), argv.data(), environ);
            const int e = errno;
            [[maybe_unused]] const auto n = write(report[1], &e, sizeof e);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t n;
    while ((n = read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (n == sizeof execError) return program_ + ": " + std::strerror(execError);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "could not start " + program_;
    return {};
}

}  // namespace brim::platform
