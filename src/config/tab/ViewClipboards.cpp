#include "config/tab/ViewClipboards.h"

#include "config/clipboard/ViewerRefreshMessage.h"
#include "config/tab/DialogTemplates.h"
#include "config/workspace/SlotDescription.h"
#include "os/Dialogs.h"
#include "platform/assertion/Assertion.h"
#include "util/NumberParser.h"

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::viewclipboards;

constexpr int DeleteKey = 46;

}  // namespace

ViewClipboards::ViewClipboards(workspace::Workspace& openWorkspace, SlotKeyHandler& handler)
    : Dialog(ids::dialogTemplate()),
      list(ids::List),
      workspace(openWorkspace),
      keyHandler(handler) {
    bind(list);
    onMessage(clipboard::ViewerRefreshMessage, [this](const os::DialogEvent&) -> std::intptr_t {
        refresh();
        return 1;
    });
    on(os::Notification::Size, 0, [this](const os::DialogEvent& event) -> std::intptr_t {
        if (list.hasWindow()) {
            view().moveControl(ids::List, os::Rect{0, 0, event.value, event.value2});
        }
        return 0;
    });
    on(os::Notification::KeyDown, ids::List,
       [this](const os::DialogEvent& event) { return onListKeyDown(event); });
    on(os::Notification::Destroy, 0, [this](const os::DialogEvent&) -> std::intptr_t {
        keyHandler.setViewerWindow(0);
        return 0;
    });
}

bool ViewClipboards::onInitDialog() {
    Dialog::onInitDialog();
    list.setColumns(
        {{"Code", 0}, {"Key", 10}, {"Caption", 40}, {"Data type", 20}, {"Location", 30}},
        os::lvs::GridLines | os::lvs::FullRowSelect);
    refresh();
    keyHandler.setViewerWindow(getHandle());
    return true;
}

void ViewClipboards::refresh() {
    list.deleteAllItems();
    for (const auto& slot : workspace.getClipboards()) {
        if (!slot) {
            continue;
        }
        list.addRow(
            {std::to_string(slot->getVirtualKey()), slot->getKeyName(),
             slot->isSecret() ? workspace::SlotDescription::SecretText
                              : workspace::SlotDescription::preview(slot->getText()),
             workspace::SlotDescription::dataTypes(slot->getDataTypes()), slot->getCaption()},
            list.GetItemCount());
    }
    view().setCaption(workspace.getName());
}

std::intptr_t ViewClipboards::onListKeyDown(const os::DialogEvent& event) {
    if (event.value == DeleteKey && !list.getSelectedItems().empty()) {
        deleteSelectedSlots();
    }
    return 0;
}

void ViewClipboards::deleteSelectedSlots() {
    const int answer =
        view().messageBox("Are you sure you want to delete all selected items permanentely?",
                          "Warning", os::mb::IconQuestion | os::mb::YesNo);
    if (answer != os::id::Yes) {
        return;
    }
    for (const int item : list.getSelectedItems()) {
        const int clipboardNumber = util::NumberParser::parseInt(list.getItemText(item, 0));
        PX_ASSERT(clipboardNumber > 0 && clipboardNumber < 256);
        if (clipboardNumber > 0 && clipboardNumber < 256) {
            workspace.deleteClipboard(static_cast<unsigned>(clipboardNumber));
        }
    }
    list.deleteSelectedItems();
}

}  // namespace products::pastrix::config::tab
