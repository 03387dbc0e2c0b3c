#pragma once

#include "io/IOException.h"

namespace io::file {

PASTRIX_DECLARE_EXCEPTION(CouldNotLoadFileException, IOException);
PASTRIX_DECLARE_EXCEPTION(CouldNotSaveFileException, IOException);

}  // namespace io::file
