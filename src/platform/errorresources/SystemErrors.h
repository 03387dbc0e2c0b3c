#pragma once

#include "platform/errorresources/ErrorMapper.h"

#include <string>

namespace platform::errorresources {

class SystemErrors {
public:
    // The text that ends most failure messages: a fixed prefix and the system's own words
    // for the code. Never throws.
    static std::string map(int errorCode, const ErrorMapper* fallbackErrors = nullptr) noexcept;
};

}  // namespace platform::errorresources
