#pragma once

#include "exceptions/RuntimeException.h"

namespace util::parser {

PASTRIX_DECLARE_EXCEPTION(CommandLineConverterException, exceptions::IllegalArgumentException);

}  // namespace util::parser
