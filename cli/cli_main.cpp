// brenvale-cli: converts media files headless with the catalogue, presets, naming and
// converter component of the window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    return brenvale::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
