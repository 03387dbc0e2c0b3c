#pragma once

#include "platform/assertion/AssertionListener.h"

namespace platform {

// Installs a listener for its own lifetime; afterwards reports go to the console and the
// report file again.
class AssertionListenerInstaller {
public:
    explicit AssertionListenerInstaller(AssertionListener& listener);
    ~AssertionListenerInstaller();
    AssertionListenerInstaller(const AssertionListenerInstaller&) = delete;
    AssertionListenerInstaller& operator=(const AssertionListenerInstaller&) = delete;
};

}  // namespace platform
