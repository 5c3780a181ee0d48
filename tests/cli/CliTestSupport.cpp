#include "CliTestSupport.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Text.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace brim::cli::test {

TestServices::TestServices(const TempDir& dir) : services(std::make_unique<platform::Services>()) {
    auto f = std::make_unique<TestFolders>(dir);
    auto o = std::make_unique<RecordingOpener>();
    auto p = std::make_unique<FixedPages>();
    auto t = std::make_unique<FolderTrash>(dir / "trash/");
    folders = f.get();
    opener = o.get();
    pages = p.get();
    trash = t.get();
    services->fs = std::make_unique<SystemFileSystem>();
    services->codePage = std::make_unique<SystemCodePage>("CP932");
    services->caseMapper = std::make_unique<SystemCaseMapper>();
    services->folders = std::move(f);
    services->opener = std::move(o);
    services->pages = std::move(p);
    services->trash = std::move(t);
    services->browsers = std::make_unique<NoBrowsers>();
}

CliRun runWith(platform::Services& services, const std::vector<std::string>& args,
               std::istream* questions) {
    std::ostringstream out, err;
    const int rc = runCli(args, services, out, err, questions);
    return {rc, out.str(), err.str()};
}

#ifdef _WIN32

namespace {

// One argument as CommandLineToArgvW splits it back: quoted, with a run of
// backslashes doubled where a quote follows it.
std::wstring quotedArgument(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritable(HANDLE h) {
    SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return h;
}

std::string readAll(HANDLE pipe) {
    std::string bytes;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buf, sizeof buf, &n, nullptr) && n > 0)
        bytes.append(buf, n);
    return bytes;
}

}  // namespace

std::wstring commandLineOf(const std::vector<std::string>& args) {
    using platform::win32::widen;
    std::wstring command = quotedArgument(widen(BRIMMARK_CLI_PATH));
    for (const auto& a : args)
        command += L" " + quotedArgument(widen(a));
    return command;
}

CliRun runProgram(const std::vector<std::string>& args, const std::string& output) {
    using platform::win32::widen;
    TempDir dir;
    std::wstring command = commandLineOf(args);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    HANDLE err = CreateFileW(widen(dir / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (output.empty()) {
        CreatePipe(&readEnd, &writeEnd, nullptr, 0);
        inheritable(writeEnd);
    } else {
        writeEnd = CreateFileW(widen(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, 0, nullptr);
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = input;
    start.hStdOutput = writeEnd;
    start.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &start, &process);
    CloseHandle(writeEnd);
    CloseHandle(input);
    CloseHandle(err);
    CliRun run{-1, {}, {}};
    if (started) {
        if (readEnd) run.out = readAll(readEnd);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.rc = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (readEnd) CloseHandle(readEnd);
    run.err = readFile(dir / "err");
    return run;
}

#else

namespace {
std::string shellWord(const std::string& s) {
    std::string out = "'";
    for (const char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
}  // namespace

CliRun runProgram(const std::vector<std::string>& args, const std::string& output) {
    TempDir dir;
    // The program's cache goes to the test's folder, not the home's.
    std::string command =
        "XDG_CACHE_HOME=" + shellWord(dir / "cache") + " " + shellWord(BRIMMARK_CLI_PATH);
    for (const auto& a : args)
        command += " " + shellWord(a);
    command += " 2>" + shellWord(dir / "err") + " </dev/null";
    if (!output.empty()) command += " >" + shellWord(output);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, {}, {}};
    std::string out;
    char buf[4096];
    while (const std::size_t n = fread(buf, 1, sizeof buf, pipe))
        out.append(buf, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, readFile(dir / "err")};
}

pid_t startProgram(const std::vector<std::string>& args, const std::string& home,
                   const std::string& output, const std::string& errors) {
    std::vector<std::string> words = {BRIMMARK_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    // The program's own files go to the test's folder, never to the home's.
    std::vector<std::string> own = {
        "HOME=" + home, "XDG_CACHE_HOME=" + home + "/cache", "XDG_STATE_HOME=" + home + "/state",
        "XDG_CONFIG_HOME=" + home + "/config", "XDG_DATA_HOME=" + home + "/data"};
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        if (std::none_of(own.begin(), own.end(), [&](const std::string& o) {
                return v.starts_with(o.substr(0, o.find('=') + 1));
            }))
            envp.push_back(*e);
    }
    for (auto& o : own)
        envp.push_back(o.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int waitProgram(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

#endif

}  // namespace brim::cli::test
