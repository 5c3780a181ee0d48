#include "Watchdog.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <iterator>
#else
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#endif

namespace brim::test {
namespace {

std::mutex gMutex;
std::string gRunning;

std::string nameOf(const ::testing::TestInfo& test) {
    return std::string(test.test_suite_name()) + "." + test.name();
}

void setRunning(std::string name) {
    const std::lock_guard lock(gMutex);
    gRunning = std::move(name);
}

#ifdef _WIN32
// Each thread's stack, walked here through the program's unwind tables:
// winedbg, attached to a program whose thread it cannot unwind, was seen to
// fail and leave the program stopped for good. Frames are printed as winedbg
// prints them, "N 0xADDRESS in MODULE (+0xOFFSET)", for
// x86_64-w64-mingw32-addr2line (scripts/test-windows maps those of the
// program; its tests carry DWARF 4 line tables).
struct Stack {
    DWORD thread = 0;
    std::size_t depth = 0;
    DWORD64 frames[64] = {};
};

// Unwinds from `context`. Nothing here allocates or locks what a stopped
// thread might hold, but for the loader's lookup of unwind tables.
void unwind(CONTEXT context, Stack& stack) {
    while (stack.depth < std::size(stack.frames) && context.Rip) {
        stack.frames[stack.depth++] = context.Rip;
        DWORD64 base = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
        if (function) {
            void* handlerData = nullptr;
            DWORD64 frame = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData,
                             &frame, nullptr);
        } else {
            // A leaf function: the return address is on top of the stack.
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += 8;
        }
    }
}

void printStack(const Stack& stack) {
    wchar_t program[MAX_PATH] = L"?";
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::fprintf(stderr, "Backtracing for thread %04lx in process %04lx (%ls):\n", stack.thread,
                 GetCurrentProcessId(), program);
    for (std::size_t n = 0; n < stack.depth; ++n) {
        const DWORD64 at = stack.frames[n];
        HMODULE module = nullptr;
        wchar_t path[MAX_PATH] = L"?";
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(at), &module))
            GetModuleFileNameW(module, path, MAX_PATH);
        std::wstring name = path;
        name = name.substr(name.find_last_of(L"\\/") + 1);
        name = name.substr(0, name.rfind(L'.'));
        std::fprintf(stderr, "  %zu 0x%016llx in %ls (+0x%llx)\n", n,
                     static_cast<unsigned long long>(at), name.c_str(),
                     static_cast<unsigned long long>(at - reinterpret_cast<DWORD64>(module)));
    }
}

void printBacktraces() {
    const HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        Stack stack;
        stack.thread = entry.th32ThreadID;
        CONTEXT context{};
        context.ContextFlags = CONTEXT_FULL;
        if (entry.th32ThreadID == GetCurrentThreadId()) {
            RtlCaptureContext(&context);
            unwind(context, stack);
        } else {
            const HANDLE thread =
                OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION,
                           FALSE, entry.th32ThreadID);
            if (!thread) continue;
            // One thread stopped at a time, and printed once it runs again.
            if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
                if (GetThreadContext(thread, &context)) unwind(context, stack);
                ResumeThread(thread);
            }
            CloseHandle(thread);
        }
        printStack(stack);
    }
    CloseHandle(threads);
}
#else
// The watchdog's own process, left out of the processes a report shows.
pid_t gWatcher = 0;

// The processes `of` forked, and theirs, but the watchdog's: a hung test often
// waits on a child that hung, and that child's stack is the one that tells why.
std::vector<pid_t> descendants(pid_t of) {
    std::vector<std::pair<pid_t, pid_t> > all;  // (pid, parent)
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (command) state ppid ...": the command may hold spaces.
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        pid_t parent = 0;
        if (rest >> state >> parent) all.emplace_back(std::stoi(name), parent);
    }
    std::vector<pid_t> found{of};
    for (std::size_t i = 0; i < found.size(); ++i)
        for (const auto& [pid, parent] : all)
            if (parent == found[i] && pid != gWatcher) found.push_back(pid);
    found.erase(found.begin());
    return found;
}

void printStacks(pid_t of) {
    const std::string pid = std::to_string(of);
    const pid_t child = fork();
    if (child == 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execlp("gdb", "gdb", "-nx", "-batch", "-p", pid.c_str(), "-ex", "set pagination off", "-ex",
               "thread apply all bt", static_cast<char*>(nullptr));
        std::fputs("(no gdb here: no backtraces)\n", stderr);
        _exit(127);
    }
    if (child < 0) return;
    for (int waited = 0; waited < 600; ++waited) {
        if (waitpid(child, nullptr, WNOHANG) == child) return;
        usleep(100000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// The stacks of the test's process and of every child it has, which are then
// ended: none outlives the report, to hold the output open or the test's files.
void printBacktraces(pid_t process) {
    const auto children = descendants(process);
    printStacks(process);
    for (const pid_t child : children) {
        std::fprintf(stderr, "\nThe threads of child process %d:\n", static_cast<int>(child));
        std::fflush(stderr);
        printStacks(child);
    }
    for (const pid_t child : children)
        kill(child, SIGKILL);
}
#endif

void printHang(const std::string& test, const std::string& what) {
    const char* name = test.empty() ? "(between tests)" : test.c_str();
    std::fprintf(stderr, "\n[  HUNG    ] %s: %s\nThe threads of the test's process:\n", name,
                 what.c_str());
    std::fflush(stderr);
#ifdef _WIN32
    printBacktraces();
#else
    printBacktraces(gWatcher == getpid() ? getppid() : getpid());
#endif
    std::fprintf(stderr, "[  HUNG    ] %s\n", name);
    std::fflush(stdout);
    std::fflush(stderr);
}

std::string overLimit(std::chrono::seconds limit) {
    return "it has run for more than " + std::to_string(limit.count()) +
           " s (BRIMMARK_TEST_TIMEOUT)";
}

#ifdef _WIN32
// Follows which test runs, and since when, on a thread of its own.
class Watch final : public ::testing::EmptyTestEventListener {
  public:
    Watch() : thread_([this] { watch(); }) {}
    ~Watch() override {
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void OnTestStart(const ::testing::TestInfo& test) override {
        setRunning(nameOf(test));
        const std::lock_guard lock(mutex_);
        started_ = std::chrono::steady_clock::now();
        running_ = true;
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        setRunning({});
        const std::lock_guard lock(mutex_);
        running_ = false;
    }

  private:
    void watch() {
        const auto limit = testTimeout();
        std::unique_lock lock(mutex_);
        while (!quit_) {
            changed_.wait_for(lock, std::chrono::seconds(1));
            if (running_ && std::chrono::steady_clock::now() - started_ > limit) {
                lock.unlock();
                reportHang(overLimit(limit));
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool quit_ = false;
    bool running_ = false;
    std::chrono::steady_clock::time_point started_;
    std::thread thread_;  // last: it uses the members above
};
#else
// Follows which test runs from a process of its own, told of each test's
// start and end through a socket. Not a thread: a test process with a second
// thread that forks can leave its child stuck for good in a lock of the
// sanitizers' allocator (GCC 12's ASan takes none of them around fork), and
// the tests fork writers, killers and servers.
class Watch final : public ::testing::EmptyTestEventListener {
  public:
    Watch() {
        // gdb, as the watchdog's child, may attach to the test's process only
        // when that process says so.
        prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
        // A socket rather than a pipe: sent with MSG_NOSIGNAL, a line to a
        // watchdog that is gone cannot end the test with SIGPIPE.
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
        const pid_t test = getpid();
        const pid_t watcher = fork();
        if (watcher == 0) {
            close(ends[1]);
            watch(ends[0], test);
        }
        close(ends[0]);
        if (watcher < 0) {
            close(ends[1]);
            std::fputs("(no watchdog: it could not be started)\n", stderr);
            return;
        }
        gWatcher = watcher;
        to_ = ends[1];
    }
    ~Watch() override {
        if (to_ < 0) return;
        close(to_);
        waitpid(gWatcher, nullptr, 0);
    }

    void OnTestStart(const ::testing::TestInfo& test) override {
        const std::string name = nameOf(test);
        setRunning(name);
        tell("S" + name + "\n");
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        setRunning({});
        tell("E\n");
    }

  private:
    void tell(const std::string& line) const {
        if (to_ < 0) return;
        for (std::size_t sent = 0; sent < line.size();) {
            const ssize_t n = send(to_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    [[noreturn]] static void watch(int from, pid_t test) {
        // Ends with the test's process, whatever keeps the socket open.
        prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
        if (getppid() != test) _exit(0);
        // Out of the test's process group, which a test may signal whole.
        setpgid(0, 0);
        gWatcher = getpid();
        const auto limit = testTimeout();
        std::string running, pending;
        bool timing = false;  // a test runs, and must end by `until`
        auto until = std::chrono::steady_clock::now();
        for (;;) {
            int wait = -1;
            if (timing) {
                const auto left = until - std::chrono::steady_clock::now();
                wait = static_cast<int>(std::max<std::int64_t>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
            }
            pollfd p{from, POLLIN, 0};
            const int r = poll(&p, 1, wait);
            if (r < 0 && errno == EINTR) continue;
            if (r == 0) {
                printHang(running, overLimit(limit));
                kill(test, SIGKILL);
                _exit(0);
            }
            char chunk[4096];
            const ssize_t n = read(from, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(0);
            pending.append(chunk, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.front() == 'S') {
                    running = line.substr(1);
                    until = std::chrono::steady_clock::now() + limit;
                    timing = true;
                } else {
                    running.clear();
                    timing = false;
                }
            }
        }
    }

    int to_ = -1;
};
#endif

}  // namespace

std::chrono::seconds testTimeout() {
    const char* set = std::getenv("BRIMMARK_TEST_TIMEOUT");
    const long seconds = set ? std::strtol(set, nullptr, 10) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 300);
}

std::string runningTest() {
    const std::lock_guard lock(gMutex);
    return gRunning;
}

void reportHang(const std::string& what) {
    static std::mutex once;
    once.lock();  // a second report waits here until the first ends the process
    printHang(runningTest(), what);
    std::_Exit(3);
}

}  // namespace brim::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Released after the tests' own listeners, so it watches them too.
    auto* watch = new brim::test::Watch;
    ::testing::UnitTest::GetInstance()->listeners().Append(watch);
    const int status = RUN_ALL_TESTS();
    delete ::testing::UnitTest::GetInstance()->listeners().Release(watch);
    return status;
}
