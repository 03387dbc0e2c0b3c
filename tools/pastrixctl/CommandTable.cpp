#include "Command.h"

namespace pastrixctl {

// Each command group adds its row here.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {};
    return table;
}

}  // namespace pastrixctl
