#pragma once

#include "os/Types.h"

#include <string>
#include <vector>

// The system clipboard, one call at a time, each failure raised as its own exception.
namespace windows::clipboard::ClipboardHelper {

// Opens the clipboard for the calling thread, with no owner window.
void openClipboard();
// A failure to close is reported as a broken expectation; nothing is thrown.
void closeClipboard();
void emptyClipboard();
// Marks what this opening puts on the clipboard as there only for a moment, so that clipboard
// histories do not record it. A mark the system refuses only lets a history record the
// content, so nothing is thrown.
void markTransient();
// Whether the format only marks content for clipboard histories.
bool isMark(unsigned format);
// Whether the clipboard's mark of this format says that the content's owner keeps it secret.
// A mark whose bytes cannot be read is judged by its presence alone.
bool marksSecret(unsigned format);
// A new block holding a copy of the block's bytes.
os::MemoryHandle duplicateData(os::MemoryHandle memory, unsigned format);
// The clipboard takes the block; on failure the caller keeps it.
void setClipboardData(unsigned format, os::MemoryHandle memory);
// The format's data as a new memory block that the caller owns. Formats that exist only as
// other kinds of object (a bitmap handle, a metafile) fail.
os::MemoryHandle getClipboardData(unsigned format);
// The formats on the clipboard, in the clipboard's order.
std::vector<unsigned> getCurrentFormats();
bool isFormatAvailable(unsigned format);
void changeClipboardChain(os::WindowHandle window, os::WindowHandle nextWindow);
// The registered name of a format, else the name of the standard format, else "CF_UNKNOWN".
std::string getFormatName(unsigned format);
// The kinds of data ("Text", "Bitmap", ...) the formats hold, each once, in a fixed order.
std::vector<std::string> getDataTypes(const std::vector<unsigned>& formats);

// Keeps the clipboard open for the lifetime of the object: opens it when made and closes it
// on every way out of the scope.
class ScopedClipboard {
public:
    ScopedClipboard();
    ~ScopedClipboard();
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
};

}  // namespace windows::clipboard::ClipboardHelper
