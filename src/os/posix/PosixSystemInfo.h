#pragma once

#include "os/Errors.h"
#include "os/SystemInfo.h"

#include <string>
#include <vector>

namespace os::posix {

// System facts of a POSIX process. The version record names the kernel (platform
// PlatformPosix, never a Windows family). A process without a display connection has no
// screen, so the screen metrics answer 0, the system's "cannot tell"; the desktop backend
// asks its display server instead. The command line is rebuilt from the arguments the
// system passed, each one holding a blank (or empty) enclosed in double quotes, so that it
// splits back into the same arguments.
class PosixSystemInfo final : public SystemInfo {
public:
    explicit PosixSystemInfo(Errors& errors);

    bool getVersionEx(VersionInfo& info) const override;
    int getSystemMetrics(int index) const override;
    std::string getCommandLine() const override;

    // The command line for a list of arguments, as getCommandLine builds it.
    static std::string joinArguments(const std::vector<std::string>& arguments);

private:
    Errors& errors_;
};

}  // namespace os::posix
