#include "os/x11/ThreadInputState.h"

#include <optional>

namespace os::x11 {

namespace {
thread_local std::optional<KeyStateTable> lastInputState;
}

void ThreadInputState::set(const KeyStateTable& state) {
    lastInputState = state;
}

const KeyStateTable* ThreadInputState::current() {
    return lastInputState ? &*lastInputState : nullptr;
}

}  // namespace os::x11
