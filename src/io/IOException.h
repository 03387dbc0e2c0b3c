#pragma once

#include "exceptions/Exception.h"

namespace io {

PASTRIX_DECLARE_EXCEPTION(IOException, exceptions::Exception);

}  // namespace io
