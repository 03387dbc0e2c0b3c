#pragma once

#include "os/Errors.h"

namespace os::win32 {

// The thread's last error is the system's own, and the program's error codes are the system's
// numbers, so nothing is translated: a code set by any system call is what the core reads.
class Win32Errors final : public Errors {
public:
    int lastError() const override;
    void setLastError(int code) override;
    std::optional<std::string> messageText(int code) const override;
};

}  // namespace os::win32
