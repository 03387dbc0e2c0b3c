#pragma once

#include "exceptions/Exception.h"

namespace windows::clipboard {

PASTRIX_DECLARE_EXCEPTION(ClipboardException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotOpenClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotEmptyClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotCopyClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotSetClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetCurrentClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetCurrentFormatException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotSavePersistantClipboardException, ClipboardException);
PASTRIX_DECLARE_EXCEPTION(CouldNotLoadPersistantClipboardException, ClipboardException);

}  // namespace windows::clipboard
