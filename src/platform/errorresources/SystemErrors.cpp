#include "platform/errorresources/SystemErrors.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"

namespace platform::errorresources {

std::string SystemErrors::map(int errorCode, const ErrorMapper* fallbackErrors) noexcept {
    try {
        const std::string prefix = "System error message: ";
        if (const auto text = os::errors().messageText(errorCode)) {
            return prefix + *text;
        }
        std::string fallback;
        if (fallbackErrors != nullptr && fallbackErrors->find(errorCode, fallback)) {
            return prefix + fallback + "\r\n";
        }
        return prefix + "The string representation of the error code [" +
               std::to_string(errorCode) + "] was not found." + "\r\n";
    } catch (...) {
        PX_ASSERT(false);
        return "An unexpected exception was caught in static std::string SystemErrors::map(int "
               "errorCode, const ErrorMapper* fallbackErrors = 0) throw()\n";
    }
}

}  // namespace platform::errorresources
