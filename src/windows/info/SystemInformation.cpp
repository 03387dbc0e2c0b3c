#include "windows/info/SystemInformation.h"

#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/info/CouldNotGetWindowsVersion.h"

namespace windows::info {

os::VersionInfo getWindowsVersion() {
    os::VersionInfo info;
    info.size = os::VersionInfoSize;
    if (!os::systemInfo().getVersionEx(info)) {
        const int errorCode = os::errors().lastError();
        throw CouldNotGetWindowsVersion("Couldn't get the windows version.\n" +
                                        platform::errorresources::SystemErrors::map(errorCode));
    }
    return info;
}

bool isWindows95() {
    const os::VersionInfo info = getWindowsVersion();
    return info.platformId == os::PlatformWindows && info.minorVersion == 0;
}

int getScreenWidth() {
    return os::systemInfo().getSystemMetrics(os::SmCxScreen);
}

int getScreenHeight() {
    return os::systemInfo().getSystemMetrics(os::SmCyScreen);
}

}  // namespace windows::info
