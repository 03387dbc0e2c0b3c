#include "Command.h"
#include "WorkspaceCommands.h"

namespace pastrixctl {

// Each command group adds its row here.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"workspace", WorkspaceUsage, runWorkspaceCommand},
        {"coolkeys", CoolKeysUsage, runCoolKeysCommand},
    };
    return table;
}

}  // namespace pastrixctl
