#pragma once

#include "exceptions/Exception.h"

namespace products::pastrix::config::configfile {

PASTRIX_DECLARE_EXCEPTION(ConfigLogicException, exceptions::Exception);

}  // namespace products::pastrix::config::configfile
