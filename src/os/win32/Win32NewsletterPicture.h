#pragma once

namespace os::win32 {

// The envelope of the newsletter dialog, drawn rather than shipped as a bitmap file.
class Win32NewsletterPicture {
public:
    // A new bitmap (an HBITMAP the caller deletes) compatible with the control's screen; null
    // when the system has no room for it.
    static void* draw(void* control);
};

}  // namespace os::win32
