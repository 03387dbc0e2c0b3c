#pragma once

#include "exceptions/Exception.h"

namespace windows::hook {

PASTRIX_DECLARE_EXCEPTION(HookException, exceptions::Exception);

}  // namespace windows::hook
