#pragma once

#include <string>

namespace windows::reporter {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const std::string& message) = 0;
};

}  // namespace windows::reporter
