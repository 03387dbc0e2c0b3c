#pragma once

#include "os/SystemInfo.h"

namespace os::win32 {

class Win32SystemInfo final : public SystemInfo {
public:
    // Reports the version the system really runs: the compatibility layer tells a program
    // without a manifest naming each newer version that it runs on Windows 8.
    bool getVersionEx(VersionInfo& info) const override;
    int getSystemMetrics(int index) const override;
    std::string getCommandLine() const override;
};

}  // namespace os::win32
