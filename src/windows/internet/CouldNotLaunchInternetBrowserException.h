#pragma once

#include "exceptions/Exception.h"

namespace windows::internet {

PASTRIX_DECLARE_EXCEPTION(CouldNotLaunchInternetBrowserException, exceptions::Exception);

}  // namespace windows::internet
