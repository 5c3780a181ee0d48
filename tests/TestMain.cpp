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
