#pragma once

#include "exceptions/Exception.h"

namespace windows::registry {

PASTRIX_DECLARE_EXCEPTION(RegistryException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(RegistryKeyNotFoundException, RegistryException);
PASTRIX_DECLARE_EXCEPTION(RegistryValueNotFoundException, RegistryException);
PASTRIX_DECLARE_EXCEPTION(RegistryAccessDeniedException, RegistryException);

}  // namespace windows::registry
