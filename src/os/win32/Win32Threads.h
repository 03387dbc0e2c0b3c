#pragma once

#include "os/Threads.h"

namespace os::win32 {

class Win32Threads final : public Threads {
public:
    ThreadId getCurrentThreadId() const override;
};

}  // namespace os::win32
