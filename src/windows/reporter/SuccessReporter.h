#pragma once

#include <string>

namespace windows::reporter {

class SuccessReporter {
public:
    virtual ~SuccessReporter() = default;
    virtual void showSuccess(const std::string& message) = 0;
};

}  // namespace windows::reporter
