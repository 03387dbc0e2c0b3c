#pragma once

#include "os/Dialogs.h"

namespace os::win32 {

// The system's message boxes. The program's styles and answers are the system's numbers, so
// both pass through unchanged; a box that cannot be shown answers 0 with the last error set.
class Win32Dialogs final : public Dialogs {
public:
    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned style) override;
};

}  // namespace os::win32
