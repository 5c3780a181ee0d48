#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/SystemServices.h"
#include "cli/Command.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include "platform/win32/Win32Text.h"

namespace {

// The arguments as the user typed them, in UTF-8: main's argv holds them in
// the ANSI code page, which loses what it cannot express.
std::vector<std::string> arguments(int, char**) {
    std::vector<std::string> args;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return args;
    for (int i = 1; i < argc; ++i)
        args.push_back(brim::platform::win32::narrow(argv[i]));
    LocalFree(argv);
    return args;
}

// UTF-8 on the console while the program runs, and the output unchanged in
// a file or a pipe: the CSV export's CRLF must not become CR CR LF.
class Utf8Console {
  public:
    Utf8Console() : saved_(GetConsoleOutputCP()) {
        SetConsoleOutputCP(CP_UTF8);
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
    }
    ~Utf8Console() {
        if (saved_) SetConsoleOutputCP(saved_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    UINT saved_;
};

bool isTerminal(FILE* f) {
    return _isatty(_fileno(f)) != 0;
}

}  // namespace
#else
#include <unistd.h>

namespace {

std::vector<std::string> arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

bool isTerminal(FILE* f) {
    return isatty(fileno(f)) != 0;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    const Utf8Console console;
#endif
    const std::vector<std::string> args = arguments(argc, argv);
    std::ios::sync_with_stdio(false);
    std::unique_ptr<brim::platform::Services> services;
    try {
        services = brim::app::makeSystemServices();
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark-cli: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return brim::cli::kFailure;
    }
    // Questions are asked only of a person at a terminal.
    std::istream* questions = isTerminal(stdin) && isTerminal(stderr) ? &std::cin : nullptr;
    return brim::cli::runCli(args, *services, std::cout, std::cerr, questions);
}
