#pragma once

#include "windows/hook/Hook.h"

#include <string>

namespace windows::hook {

// The mouse hook: every release of the left button reaches the started window as a
// MouseEventMessage.
class MouseHook : public Hook {
public:
    explicit MouseHook(const std::string& filename);
};

}  // namespace windows::hook
