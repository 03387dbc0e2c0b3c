#include "Command.h"
#include "ConfigCommands.h"

namespace pastrixctl {

// Each command group adds its row here.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"config", configUsage, runConfigCommand},
    };
    return table;
}

}  // namespace pastrixctl
