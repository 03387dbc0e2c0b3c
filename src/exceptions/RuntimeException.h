#pragma once

#include "exceptions/Exception.h"

namespace exceptions {

PASTRIX_DECLARE_EXCEPTION(RuntimeException, Exception);
PASTRIX_DECLARE_EXCEPTION(IllegalArgumentException, RuntimeException);

}  // namespace exceptions
