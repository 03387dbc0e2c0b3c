#pragma once

#include "exceptions/Exception.h"

namespace windows::info {

PASTRIX_DECLARE_EXCEPTION(CouldNotGetWindowsVersion, exceptions::Exception);

}  // namespace windows::info
