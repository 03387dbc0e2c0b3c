#pragma once

#include "exceptions/Exception.h"

namespace windows::memory {

PASTRIX_DECLARE_EXCEPTION(CouldNotGlobalAllocException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotGlobalLockException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotGlobalUnlockException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotGlobalFreeException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotGlobalSizeException, exceptions::Exception);

}  // namespace windows::memory
