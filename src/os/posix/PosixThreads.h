#pragma once

#include "os/Threads.h"

namespace os::posix {

// The kernel's thread ids.
class PosixThreads final : public Threads {
public:
    ThreadId getCurrentThreadId() const override;
};

}  // namespace os::posix
