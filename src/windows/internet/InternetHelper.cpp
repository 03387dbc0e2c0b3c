#include "windows/internet/InternetHelper.h"

#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "util/StringHelper.h"
#include "util/StringHelperException.h"
#include "windows/internet/CouldNotLaunchInternetBrowserException.h"

namespace windows::internet {

void launchInternetBrowser(const std::string& address) {
    std::wstring wideAddress;
    try {
        wideAddress = util::StringHelper::toWideString(address);
    } catch (const util::StringHelperException& e) {
        throw CouldNotLaunchInternetBrowserException(
            "Error when trying to launch internet browser. \n\n" + e.getMessage());
    }
    if (os::shell().navigate(wideAddress) != os::SOk) {
        const int errorCode = os::errors().lastError();
        throw CouldNotLaunchInternetBrowserException(
            "Error when trying to launch internet browser.\nTried to open:\n" + address + "\n\n" +
            platform::errorresources::SystemErrors::map(errorCode));
    }
}

}  // namespace windows::internet
