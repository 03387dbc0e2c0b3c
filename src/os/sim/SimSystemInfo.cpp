#include "os/sim/SimSystemInfo.h"

#include "os/ErrorCodes.h"

namespace os::sim {

SimSystemInfo::SimSystemInfo(Errors& errors) : errors_(errors) {
    version_.majorVersion = 5;
    version_.minorVersion = 1;
    version_.buildNumber = 2600;
    version_.platformId = PlatformNT;
    version_.csdVersion = "Service Pack 2";
}

bool SimSystemInfo::getVersionEx(VersionInfo& info) const {
    std::lock_guard lock(mutex_);
    if (info.size != VersionInfoSize) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    if (versionFailure_ != error::Success) {
        errors_.setLastError(versionFailure_);
        return false;
    }
    info = version_;
    info.size = VersionInfoSize;
    return true;
}

int SimSystemInfo::getSystemMetrics(int index) const {
    std::lock_guard lock(mutex_);
    switch (index) {
        case SmCxScreen:
            return screenWidth_;
        case SmCyScreen:
            return screenHeight_;
        default:
            return 0;
    }
}

std::string SimSystemInfo::getCommandLine() const {
    std::lock_guard lock(mutex_);
    return commandLine_;
}

void SimSystemInfo::setVersion(const VersionInfo& info) {
    std::lock_guard lock(mutex_);
    version_ = info;
}

void SimSystemInfo::failVersionWith(int errorCode) {
    std::lock_guard lock(mutex_);
    versionFailure_ = errorCode;
}

void SimSystemInfo::setScreenSize(int width, int height) {
    std::lock_guard lock(mutex_);
    screenWidth_ = width;
    screenHeight_ = height;
}

void SimSystemInfo::setCommandLine(const std::string& commandLine) {
    std::lock_guard lock(mutex_);
    commandLine_ = commandLine;
}

}  // namespace os::sim
