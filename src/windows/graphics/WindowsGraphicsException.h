#pragma once

#include "exceptions/Exception.h"

namespace windows::graphics {

PASTRIX_DECLARE_EXCEPTION(WindowsGraphicsException, exceptions::Exception);

}  // namespace windows::graphics
