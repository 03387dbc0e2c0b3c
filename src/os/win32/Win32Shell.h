#pragma once

#include "os/Shell.h"

namespace os::win32 {

// Documents and addresses open with the application the user associated with them.
class Win32Shell final : public Shell {
public:
    std::intptr_t shellExecute(WindowHandle owner, const std::string& operation,
                               const std::string& file, int showCommand) override;
    long navigate(const std::wstring& address) override;
};

}  // namespace os::win32
