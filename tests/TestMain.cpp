#include "Watchdog.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brim::test {
namespace {

std::mutex gMutex;
std::string gRunning;

#ifdef _WIN32
// Under Wine, winedbg prints every thread's stack; frames of this program
// carry its DWARF lines (the tests are built with -gdwarf-4), the rest
// addresses that x86_64-w64-mingw32-addr2line maps. Windows itself has no
// debugger to ask.
void printBacktraces() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) {
        std::fputs("(no backtraces outside Wine)\n", stderr);
        return;
    }
    std::wstring command =
        L"winedbg.exe --command \"bt all\" " + std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "(winedbg did not start: error %lu)\n", GetLastError());
        return;
    }
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
#else
void printBacktraces() {
    // gdb, as a child, may attach to its parent only when the parent says so.
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
    const std::string pid = std::to_string(getpid());
    const pid_t child = fork();
    if (child == 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execlp("gdb", "gdb", "-nx", "-batch", "-p", pid.c_str(), "-ex", "set pagination off", "-ex",
               "thread apply all bt", static_cast<char*>(nullptr));
        std::fputs("(no gdb here: no backtraces)\n", stderr);
        _exit(127);
    }
    if (child < 0) return;
    for (int waited = 0; waited < 1200; ++waited) {
        if (waitpid(child, nullptr, WNOHANG) == child) return;
        usleep(100000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}
#endif

// Follows which test runs, and since when.
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
        {
            const std::lock_guard lock(gMutex);
            gRunning = std::string(test.test_suite_name()) + "." + test.name();
        }
        const std::lock_guard lock(mutex_);
        started_ = std::chrono::steady_clock::now();
        running_ = true;
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        {
            const std::lock_guard lock(gMutex);
            gRunning.clear();
        }
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
                reportHang("it has run for more than " + std::to_string(limit.count()) +
                           " s (BRIMMARK_TEST_TIMEOUT)");
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
    const std::string test = runningTest();
    std::fprintf(stderr, "\n[  HUNG    ] %s: %s\nThe threads of this process:\n",
                 test.empty() ? "(between tests)" : test.c_str(), what.c_str());
    std::fflush(stderr);
    printBacktraces();
    std::fprintf(stderr, "[  HUNG    ] %s\n", test.empty() ? "(between tests)" : test.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
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
