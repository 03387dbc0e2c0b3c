#pragma once

#include "exceptions/Exception.h"
#include "io/IOException.h"

namespace products::pastrix::config::coolkeys {

PASTRIX_DECLARE_EXCEPTION(CoolKeysException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotLoadCKEntryException, io::IOException);
PASTRIX_DECLARE_EXCEPTION(CouldNotSaveEntryCKException, io::IOException);

}  // namespace products::pastrix::config::coolkeys
