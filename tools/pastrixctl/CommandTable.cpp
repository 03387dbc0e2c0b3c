#include "Command.h"
#include "ConfigCommands.h"
#include "WorkspaceCommands.h"

namespace pastrixctl {

// Each command group adds its row here.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"workspace", WorkspaceUsage, runWorkspaceCommand},
        {"coolkeys", CoolKeysUsage, runCoolKeysCommand},
        {"config", configUsage, runConfigCommand},
    };
    return table;
}

}  // namespace pastrixctl
