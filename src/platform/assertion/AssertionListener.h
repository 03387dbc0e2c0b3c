#pragma once

#include <string>

namespace platform {

// Receives assertion reports while installed, instead of standard output and the report file.
class AssertionListener {
public:
    virtual ~AssertionListener() = default;
    virtual void assertionFailed(const std::string& report) = 0;
};

// The listener that reports go to; nullptr when none is installed.
AssertionListener* installedAssertionListener();

}  // namespace platform
