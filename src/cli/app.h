#pragma once
// The `varn` command line: parses the arguments, runs one subcommand and
// returns the exit code.
//
//   varn convert --format 0 prices.csv prices.txt
//   varn count prices.txt           prints "1234 lines"

#include <ostream>
#include <string>
#include <vector>

namespace varn::cli {

// Runs varn with args (without the program name), printing to out and err.
int RunVarn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varn::cli
