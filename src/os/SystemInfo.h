#pragma once

#include <string>

namespace os {

// Platform families of a version record.
inline constexpr unsigned PlatformWin32s = 0;
inline constexpr unsigned PlatformWindows = 1;  // Windows 95, 98 and ME
inline constexpr unsigned PlatformNT = 2;
// Not a Windows family: the program runs on a POSIX system.
inline constexpr unsigned PlatformPosix = 0x100;

// The size the version record announces; a record of another size is refused.
inline constexpr unsigned VersionInfoSize = 148;

struct VersionInfo {
    unsigned size = 0;
    unsigned majorVersion = 0;
    unsigned minorVersion = 0;
    unsigned buildNumber = 0;
    unsigned platformId = 0;
    std::string csdVersion;
};

// Metrics for getSystemMetrics.
inline constexpr int SmCxScreen = 0;
inline constexpr int SmCyScreen = 1;

// Facts about the system and the running process.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // Fills the record; its size must be set to VersionInfoSize first. False on failure.
    virtual bool getVersionEx(VersionInfo& info) const = 0;
    // A metric in pixels; 0 when the system cannot tell.
    virtual int getSystemMetrics(int index) const = 0;
    // The process's whole command line, program path included, as one text.
    virtual std::string getCommandLine() const = 0;
};

}  // namespace os
