// brenvale-cli as a function, so tests run the same code as the program.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brenvale::cli {

// `arguments` without the program name. Returns the exit status: 0 every file done, 1 a file
// failed (or the libraries could not be loaded), 2 a usage error, 128 + the signal after an
// interrupt.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);

}  // namespace brenvale::cli
