#include <unistd.h>

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::unique_ptr<brim::platform::Services> services;
    try {
        services = brim::platform::makeSystemServices();
    } catch (const std::runtime_error& e) {
        std::cerr << "brimmark-cli: " << e.what() << " (BRIMMARK_CODEPAGE)\n";
        return brim::cli::kFailure;
    }
    // Questions are asked only of a person at a terminal.
    std::istream* questions = isatty(STDIN_FILENO) && isatty(STDERR_FILENO) ? &std::cin : nullptr;
    return brim::cli::runCli(args, *services, std::cout, std::cerr, questions);
}
