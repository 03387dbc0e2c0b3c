#pragma once

#include <string>

namespace platform::errorresources {

// Texts for error codes the system does not know.
class ErrorMapper {
public:
    virtual ~ErrorMapper() = default;
    // True, with the text, when the mapper knows the code.
    virtual bool find(int errorCode, std::string& text) const = 0;
};

}  // namespace platform::errorresources
