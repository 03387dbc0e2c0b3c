#include "platform/assertion/AssertionListenerInstaller.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<AssertionListener*> currentListener{nullptr};

}  // namespace

AssertionListener* installedAssertionListener() {
    return currentListener.load();
}

AssertionListenerInstaller::AssertionListenerInstaller(AssertionListener& listener) {
    currentListener.store(&listener);
}

AssertionListenerInstaller::~AssertionListenerInstaller() {
    currentListener.store(nullptr);
}

}  // namespace platform
