#pragma once

#include "exceptions/Exception.h"

#include <string>

namespace windows::window {

PASTRIX_DECLARE_EXCEPTION(StatusAreaException, exceptions::Exception);
PASTRIX_DECLARE_EXCEPTION(CouldNotGetWindowTitleException, exceptions::Exception);

// Deliberately outside the exceptions::Exception tree: a window that cannot be created ends
// what was being built, and handlers for ordinary failures must not swallow it.
class WindowXException {
public:
    explicit WindowXException(std::string message);
    virtual ~WindowXException();
    WindowXException(const WindowXException&) = default;
    WindowXException& operator=(const WindowXException&) = default;

    virtual std::string getMessage() const;

private:
    std::string message;
};

}  // namespace windows::window
