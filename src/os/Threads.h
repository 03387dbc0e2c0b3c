#pragma once

#include "os/Types.h"

namespace os {

// Threads as the system numbers them.
class Threads {
public:
    virtual ~Threads() = default;

    // The system's id of the calling thread; never 0.
    virtual ThreadId getCurrentThreadId() const = 0;
};

}  // namespace os
