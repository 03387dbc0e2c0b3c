#pragma once

#include "exceptions/Exception.h"

namespace exceptions {

PASTRIX_DECLARE_EXCEPTION(NumberFormatException, Exception);

}  // namespace exceptions
