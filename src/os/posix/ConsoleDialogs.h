#pragma once

#include "os/Dialogs.h"

namespace os::posix {

// Message boxes for programs without windows: the text goes to standard error, and a
// question is answered with No, the answer that changes nothing.
class ConsoleDialogs final : public Dialogs {
public:
    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned style) override;
};

}  // namespace os::posix
