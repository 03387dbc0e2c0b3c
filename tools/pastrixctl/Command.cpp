#include "Command.h"

#include <ostream>

namespace pastrixctl {

namespace {

void printUsage(std::ostream& out) {
    out << "usage: pastrixctl <group> <command> [arguments]\n";
    for (const Command& command : commands()) {
        out << command.usage;
    }
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "help") {
        printUsage(arguments.empty() ? err : out);
        return arguments.empty() ? 2 : 0;
    }
    for (const Command& command : commands()) {
        if (arguments[0] == command.name) {
            return command.run({arguments.begin() + 1, arguments.end()}, out, err);
        }
    }
    err << "pastrixctl: unknown command group '" << arguments[0] << "'\n";
    printUsage(err);
    return 2;
}

}  // namespace pastrixctl
