#pragma once

#include <string>

namespace windows::internet {

// Opens the address in the user's web browser. Throws
// CouldNotLaunchInternetBrowserException.
void launchInternetBrowser(const std::string& address);

}  // namespace windows::internet
