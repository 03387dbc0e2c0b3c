#pragma once

#include "config/clipboard/SlotToolTip.h"
#include "config/workspace/Workspace.h"
#include "windows/window/ToolTip.h"

#include <string>

namespace products::pastrix::config::clipboard {

// The tooltip of a held slot gesture: what the release will do, the slot's kinds of data and
// the start of its text, next to the pointer or the window in front.
class PXToolTip final : public windows::window::ToolTip, public SlotToolTip {
public:
    PXToolTip(workspace::Workspace& workspace, const std::string& windowClassName,
              os::WindowHandle parent, bool useToolTip);
    ~PXToolTip() override;

    void show(int key, int kind, bool atCursor) override;
    void hide() override;
    // The window's own visibility, as every window has it.
    using windows::window::ToolTip::show;

    void setUseToolTip(bool use) { useToolTip = use; }
    bool isUsingToolTip() const { return useToolTip; }

    // The text shown for the slot and the pending gesture (1 copy over, 3 paste from).
    std::string textFor(int key, int kind) const;
    // The first line of the text, at most 75 characters, "..." when cut; "[Empty]" for none.
    static std::string preview(const std::string& text);

private:
    workspace::Workspace& workspace;
    bool useToolTip;
};

}  // namespace products::pastrix::config::clipboard
