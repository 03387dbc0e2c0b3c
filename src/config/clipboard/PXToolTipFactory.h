#pragma once

#include "config/workspace/Workspace.h"
#include "windows/window/WindowXFactory.h"

#include <memory>
#include <string>

namespace products::pastrix::config::clipboard {

// Makes the slot tooltip on the thread that will own it.
class PXToolTipFactory final : public windows::window::WindowXFactory {
public:
    // The class of the tooltip's window, by which a second copy of the program finds the first.
    static constexpr const char* ClassName = "PASTRIX_WINDOW_CLASS_NAME";

    PXToolTipFactory(workspace::Workspace& workspace, bool useToolTip);

    std::unique_ptr<windows::window::WindowX> create() override;

    // The window that owns the tooltip; set once the settings window exists.
    void setParent(os::WindowHandle window) { parent = window; }

private:
    workspace::Workspace& workspace;
    std::string className = ClassName;
    bool useToolTip;
    os::WindowHandle parent = 0;
};

}  // namespace products::pastrix::config::clipboard
