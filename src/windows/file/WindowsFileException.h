#pragma once

#include "io/IOException.h"

namespace windows::file {

PASTRIX_DECLARE_EXCEPTION(WindowsFileException, io::IOException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetModuleFileNameException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetCurrentDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotSetCurrentDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetSystemDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetWindowsDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotCreateDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotDeleteDirectoryException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotDeleteFileException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetFirstLevelDirectoriesException, WindowsFileException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetFirstLevelFilesException, WindowsFileException);
// Raised by the shared listing and turned into one of the two above by its callers.
PASTRIX_DECLARE_EXCEPTION(CouldNotFindFilesException, WindowsFileException);

}  // namespace windows::file
