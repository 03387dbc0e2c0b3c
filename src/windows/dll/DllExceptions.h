#pragma once

#include "exceptions/Exception.h"

namespace windows::dll {

PASTRIX_DECLARE_EXCEPTION(DllNotFoundException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(ProcNotFoundException, exceptions::Exception);

}  // namespace windows::dll
