#pragma once

#include "config/tab/SlotKeyHandler.h"
#include "config/workspace/Workspace.h"
#include "windows/mfc/Dialog.h"
#include "windows/mfc/ListControl.h"

namespace products::pastrix::config::tab {

// Lists the filled slots of the open workspace, one row each, and deletes the selected ones
// on the Delete key. While it is open, every finished copy makes it refresh.
class ViewClipboards : public windows::mfc::Dialog {
public:
    ViewClipboards(workspace::Workspace& workspace, SlotKeyHandler& keyHandler);

    // Rebuilds the rows from the workspace's slots.
    void refresh();

protected:
    bool onInitDialog() override;

private:
    std::intptr_t onListKeyDown(const os::DialogEvent& event);
    void deleteSelectedSlots();

    windows::mfc::ListControl list;
    workspace::Workspace& workspace;
    SlotKeyHandler& keyHandler;
};

}  // namespace products::pastrix::config::tab
