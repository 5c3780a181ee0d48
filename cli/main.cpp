#include <iostream>
#include <string>
#include <vector>

#include "cli/Command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int rc = brim::cli::runCli(args, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
