#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/Command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Questions are asked only of a person at a terminal.
    std::istream* questions = isatty(STDIN_FILENO) && isatty(STDERR_FILENO) ? &std::cin : nullptr;
    const int rc = brim::cli::runCli(args, std::cout, std::cerr, nullptr, questions);
    std::cout.flush();
    return rc;
}
