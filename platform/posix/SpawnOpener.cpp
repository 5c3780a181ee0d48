#include "platform/posix/SpawnOpener.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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

// What the watching process tells the caller through the pipe.
struct Report {
    enum Kind : int { ExecFailed = 1, Exited = 2, Signalled = 3 } kind;
    int value;
};

void sendReport(int fd, Report::Kind kind, int value) {
    const Report r{kind, value};
    [[maybe_unused]] const auto n = write(fd, &r, sizeof r);
}

// Reads one report, waiting at most `wait`. False when the time ran out.
bool awaitReport(int fd, std::chrono::milliseconds wait, Report& r, bool& got) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    got = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return false;
        ssize_t n;
        while ((n = read(fd, &r, sizeof r)) < 0 && errno == EINTR) {
        }
        got = n == static_cast<ssize_t>(sizeof r);
        return true;
    }
}

}  // namespace

std::string openerExitReason(const std::string& program, int status) {
    // The exit codes xdg-open documents; other openers mostly follow them.
    switch (status) {
        case 1:
            return program + ": the command line was not understood (1)";
        case 2:
            return program + ": the file does not exist (2)";
        case 3:
            return program + ": a tool it needs is missing (3)";
        case 4:
            return program + ": opening failed (4)";
        default:
            return program + " ended with status " + std::to_string(status);
    }
}

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
        // The middle process exits at once, so the watcher below is nobody's
        // child here and is reaped by the system: waiting for the opener never
        // holds up the caller longer than it chooses, and leaves no zombie.
        close(report[0]);
        setsid();
        const pid_t watcher = fork();
        if (watcher != 0) _exit(watcher < 0 ? 1 : 0);
        // A caller that stopped waiting has closed its end; the late report
        // must not kill the watcher.
        signal(SIGPIPE, SIG_IGN);
        // An ignored SIGCHLD inherited from the caller would make the opener's
        // status vanish before it is read.
        signal(SIGCHLD, SIG_DFL);
        const pid_t opener = fork();
        if (opener == 0) {
            signal(SIGPIPE, SIG_DFL);
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) dup2(devnull, STDIN_FILENO);
            execve(path.c_str(), argv.data(), environ);
            sendReport(report[1], Report::ExecFailed, errno);
            _exit(127);
        }
        if (opener < 0) {
            sendReport(report[1], Report::ExecFailed, errno);
            _exit(1);
        }
        int status = 0;
        while (waitpid(opener, &status, 0) < 0 && errno == EINTR) {
        }
        // After a failed exec the opener has reported already; the pipe then
        // holds that report first.
        if (WIFEXITED(status)) {
            sendReport(report[1], Report::Exited, WEXITSTATUS(status));
        } else if (WIFSIGNALED(status)) {
            sendReport(report[1], Report::Signalled, WTERMSIG(status));
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        close(report[0]);
        return "could not start " + program_;
    }
    Report r{};
    bool got = false;
    const bool answered = awaitReport(report[0], wait_, r, got);
    close(report[0]);
    // Still running after the wait: it has the target and goes on by itself.
    if (!answered) return {};
    if (!got) return "could not start " + program_;
    switch (r.kind) {
        case Report::ExecFailed:
            return program_ + ": " + std::strerror(r.value);
        case Report::Exited:
            return r.value == 0 ? std::string() : openerExitReason(program_, r.value);
        case Report::Signalled:
            return program_ + " was stopped by signal " + std::to_string(r.value);
    }
    return {};
}

}  // namespace brim::platform
