#pragma once

#include "exceptions/Exception.h"

namespace util {

PASTRIX_DECLARE_EXCEPTION(StringHelperException, exceptions::Exception);

}  // namespace util
