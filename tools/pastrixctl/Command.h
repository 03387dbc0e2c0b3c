#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pastrixctl {

// One group of pastrixctl commands ("workspace", "config", ...). It gets the arguments after
// its name, writes its results to `out` and its errors to `err`, and returns the exit code.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};

// Every command group, in the order the usage text lists them.
const std::vector<Command>& commands();

// Runs a whole command line (without the program name).
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace pastrixctl
