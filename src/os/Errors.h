#pragma once

#include <optional>
#include <string>

namespace os {

// The thread's last-error code and the system's text for a code.
class Errors {
public:
    virtual ~Errors() = default;

    virtual int lastError() const = 0;
    virtual void setLastError(int code) = 0;
    // The system's own message for the code, ending in a line break, or nothing when the
    // system has no text for it.
    virtual std::optional<std::string> messageText(int code) const = 0;
};

}  // namespace os
