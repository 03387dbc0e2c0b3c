#pragma once

#include "os/Hooks.h"

namespace os::common {

// What a desktop that watches the whole session asks of a hook installation.
class HookRequest {
public:
    // The error a request for a low-level keyboard or mouse hook of the whole session fails
    // with (a thread of its own cannot be watched); error::Success for a sound one.
    static int check(int type, HookProcedure procedure, ModuleHandle module, ThreadId thread);
};

}  // namespace os::common
