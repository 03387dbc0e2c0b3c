#pragma once

#include "exceptions/Exception.h"

namespace windows::devices::keyboard {

PASTRIX_DECLARE_EXCEPTION(KeyException, exceptions::Exception);

}  // namespace windows::devices::keyboard
