#include "WineProfile.h"

#include <fcntl.h>
#include <locale.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace brim::conformance {
namespace {

// Filled in by the build when it found Wine and the mingw-w64 compiler.
constexpr const char* kWine = BRIMMARK_WINE;
constexpr const char* kWineServer = BRIMMARK_WINESERVER;
constexpr const char* kProgram = BRIMMARK_WINPROFILE_EXE;

bool isFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Runs a program with standard input from /dev/null (Wine can wait on a
// terminal otherwise) and its output appended to `log`; the exit status.
int runQuietly(const std::vector<std::string>& args, const std::string& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string hex(std::string_view bytes) {
    if (bytes.empty()) return "-";
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::optional<std::string> unhex(std::string_view text) {
    if (text == "-") return std::string();
    if (text.size() % 2 != 0) return std::nullopt;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = digit(text[i]);
        const int lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

// Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932. When
// the system has no such locale, one is compiled into a private folder.
void chooseJapaneseLocale(const std::string& workDir, const std::string& log) {
    const char* name = "ja_JP.UTF-8";
    if (locale_t l = ::newlocale(LC_ALL_MASK, name, nullptr)) {
        ::freelocale(l);
    } else {
        const std::string dir = workDir + "locale";
        ::mkdir(dir.c_str(), 0700);
        // localedef may end with status 1 on mere warnings; the result counts.
        static_cast<void>(
            runQuietly({"localedef", "-i", "ja_JP", "-f", "UTF-8", dir + "/" + name}, log));
        if (!isFile(dir + "/" + name + "/LC_CTYPE")) {
            throw std::runtime_error(
                "cannot make the ja_JP.UTF-8 locale (is Debian's \"locales\" package installed?)");
        }
        ::setenv("LOCPATH", dir.c_str(), 1);
    }
    ::setenv("LANG", name, 1);
    ::setenv("LC_ALL", name, 1);
}

}  // namespace

std::string windowsPath(const std::string& posixPath) {
    std::string out = "Z:";
    for (const char c : posixPath)
        out += c == '/' ? '\\' : c;
    return out;
}

std::optional<std::string> WineProfile::unavailable() {
    if (!isFile(kWine) || !isFile(kWineServer)) {
        return std::string("Wine was not found when the build was configured (Debian: wine64)");
    }
    if (!isFile(kProgram)) {
        return std::string(
            "the Windows test program was not built: no mingw-w64 C compiler "
            "(Debian: gcc-mingw-w64-x86-64-posix)");
    }
    return std::nullopt;
}

WineProfile::WineProfile(std::string workDir) : workDir_(std::move(workDir)) {
    // Paths reach the API as code-page bytes; only ASCII means the same in both.
    for (const char c : workDir_) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            throw std::runtime_error("the temporary folder's path must be ASCII: " + workDir_);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string log = workDir_ + "wine.log";
    chooseJapaneseLocale(workDir_, log);
    const std::string prefix = workDir_ + "prefix";
    ::mkdir(prefix.c_str(), 0700);  // the server wants the folder to be there
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("WINEARCH", "win64", 1);
    ::setenv("WINEDEBUG", "-all", 1);
    // No Mono, no Gecko: a console program needs neither, and asking for them
    // would stop the prefix's creation. No menu builder either: it would put
    // menu entries and file types into the user's desktop folders.
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
    ::unsetenv("DISPLAY");
    // The prefix links its user folders to the home folder: a private one.
    const std::string home = workDir_ + "home";
    ::mkdir(home.c_str(), 0700);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    // A server that stays up makes each later call cheap; its output and that
    // of wineboot go to the log so no pipe of ours is held open. Should this
    // process die before stopping it, the server still ends a minute after
    // its last client.
    if (runQuietly({kWineServer, "-p60"}, log) != 0 || runQuietly({kWine, "wineboot"}, log) != 0) {
        static_cast<void>(runQuietly({kWineServer, "-k"}, log));
        throw std::runtime_error("Wine did not start; see " + log + ":\n" + readAll(log));
    }
    startSeconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

WineProfile::~WineProfile() {
    static_cast<void>(runQuietly({kWineServer, "-k"}, workDir_ + "wine.log"));
}

std::vector<ApiResult> WineProfile::run(const std::vector<ApiCall>& calls) {
    const std::string commands = workDir_ + "calls.txt";
    const std::string results = workDir_ + "results.txt";
    {
        std::ofstream out(commands, std::ios::binary | std::ios::trunc);
        for (const auto& c : calls) {
            const bool read = c.kind == ApiCall::Kind::Read;
            out << (read ? 'R' : 'W') << ' ' << hex(windowsPath(c.file)) << ' ' << hex(c.section)
                << ' ' << hex(c.key) << ' ';
            if (read) {
                out << c.bufferSize;
            } else {
                out << hex(c.value);
            }
            out << '\n';
        }
        if (!out) throw std::runtime_error("cannot write " + commands);
    }
    ::unlink(results.c_str());
    const auto start = std::chrono::steady_clock::now();
    const int status =
        runQuietly({kWine, windowsPath(kProgram), windowsPath(commands), windowsPath(results)},
                   workDir_ + "wine.log");
    if (status != 0) {
        throw std::runtime_error("the Windows test program ended with status " +
                                 std::to_string(status) + "; see " + workDir_ + "wine.log");
    }
    runSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::vector<ApiResult> parsed;
    std::istringstream lines(readAll(results));
    std::string line;
    std::string word;
    if (!(lines >> word >> codePage_) || word != "ACP") {
        throw std::runtime_error(
            "the Windows test program's answer does not start with its code page");
    }
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::istringstream fields(line);
        std::string op, first, second;
        fields >> op >> first >> second;
        ApiResult r;
        if (op == "R") {
            const auto bytes = unhex(second);
            r.parsed = bytes.has_value();
            r.count = std::strtoul(first.c_str(), nullptr, 10);
            r.bytes = bytes.value_or("");
        } else if (op == "W") {
            r.parsed = true;
            r.ok = first == "1";
            r.error = std::strtoul(second.c_str(), nullptr, 10);
        }
        parsed.push_back(r);
    }
    if (parsed.size() != calls.size()) {
        throw std::runtime_error("the Windows test program answered " +
                                 std::to_string(parsed.size()) + " of " +
                                 std::to_string(calls.size()) + " calls");
    }
    return parsed;
}

}  // namespace brim::conformance
