#pragma once

#include "exceptions/Exception.h"

namespace windows::process {

PASTRIX_DECLARE_EXCEPTION(AttachThreadInputException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotShellExecuteException, exceptions::Exception);

}  // namespace windows::process
