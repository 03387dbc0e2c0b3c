#pragma once

#include "os/Errors.h"
#include "os/SystemInfo.h"

#include <mutex>
#include <string>

namespace os::sim {

// System facts of the simulated desktop, all settable by the test. It starts as a
// Windows XP machine with a 1024 x 768 screen and the command line "pastrix".
class SimSystemInfo final : public SystemInfo {
public:
    explicit SimSystemInfo(Errors& errors);

    bool getVersionEx(VersionInfo& info) const override;
    int getSystemMetrics(int index) const override;
    std::string getCommandLine() const override;

    // The record the next queries answer; its size field is ignored.
    void setVersion(const VersionInfo& info);
    // The version query fails with this code from now on; error::Success ends that.
    void failVersionWith(int errorCode);
    // 0 x 0 stands for a system that cannot tell.
    void setScreenSize(int width, int height);
    void setCommandLine(const std::string& commandLine);

private:
    Errors& errors_;
    mutable std::mutex mutex_;
    VersionInfo version_;
    int versionFailure_ = 0;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    std::string commandLine_ = "pastrix";
};

}  // namespace os::sim
