#pragma once

#include "windows/window/WindowX.h"

#include <memory>

namespace windows::window {

// Makes a window on the thread that calls it; the caller owns the window.
class WindowXFactory {
public:
    virtual ~WindowXFactory() = default;
    virtual std::unique_ptr<WindowX> create() = 0;
};

}  // namespace windows::window
