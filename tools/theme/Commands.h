#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace plinka::themetool {

// Runs one command line of plinka-theme (without the program name): results on `out`, each
// failure as one line on `err`. Answers the exit status: 0, 1 for bad input, 2 for bad usage.
int runCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace plinka::themetool
