#include "os/posix/ConsoleDialogs.h"

#include <iostream>

namespace os::posix {

int ConsoleDialogs::messageBox(WindowHandle /*owner*/, const std::string& text,
                               const std::string& caption, unsigned style) {
    std::cerr << caption << ": " << text << '\n';
    return (style & mb::ButtonsMask) == mb::YesNo ? id::No : id::Ok;
}

}  // namespace os::posix
