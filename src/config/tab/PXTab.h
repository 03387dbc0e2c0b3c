#pragma once

#include "config/clipboard/ExecuterImpl.h"
#include "config/clipboard/PXToolTip.h"
#include "config/configfile/PXSettings.h"
#include "config/tab/SlotKeyHandler.h"
#include "config/tab/ViewClipboards.h"
#include "config/workspace/Workspace.h"
#include "windows/mfc/Dialog.h"
#include "windows/mfc/KeyEdit.h"
#include "windows/mfc/ListControl.h"
#include "windows/reporter/InformationReporter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace products::pastrix::config::tab {

// The slot settings page: slot gestures on or off, the tooltip, the keys that are never
// slots and the size up to which a filled slot is saved. It owns the slot key handler and
// the slot viewer. Every change takes effect at once and is written at once.
class PXTab : public windows::mfc::PropertyPage {
public:
    // A size limit's label and its bytes; 0 is no limit.
    using Limit = std::pair<std::string, std::uint32_t>;

    PXTab(windows::reporter::InformationReporter& reporter, workspace::Workspace& workspace,
          configfile::PXSettings& settings);

    // One event from the hooks, for the slot gestures.
    void onKeyEvent(int virtualKey, bool pressed) { keyHandler.onKeyEvent(virtualKey, pressed); }
    // The slot tooltip, once its window exists.
    void attachToolTip(clipboard::PXToolTip* tip);

    // Lists the key unless a row of that name is there, then stores the list. Only while
    // the page's window exists.
    void addFilterKey(int virtualKey);

    // The keystrokes that make the application in front copy and paste.
    void setKeystrokes(clipboard::KeystrokeTable keystrokes) {
        executer.setKeystrokes(std::move(keystrokes));
    }

    SlotKeyHandler& getKeyHandler() { return keyHandler; }
    ViewClipboards& getViewer() { return viewer; }
    const std::vector<Limit>& getLimits() const { return _limits; }

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    bool onInitDialog() override;
    bool onSetActive() override;

private:
    void onEnabled();
    void onToolTip();
    void onSizeLimit();
    std::intptr_t onFilterListKeyDown(const os::DialogEvent& event);
    // The key handler's filter keys from the list's Code column.
    void takeFilterKeysFromList();
    void storeFilterKeys();

    windows::reporter::InformationReporter& informationReporter;
    workspace::Workspace& workspace;
    configfile::PXSettings& settings;
    int enabled;
    int useToolTip;
    std::vector<Limit> _limits;
    clipboard::ExecuterImpl executer;
    SlotKeyHandler keyHandler;
    clipboard::PXToolTip* toolTip = nullptr;
    ViewClipboards viewer;
    windows::mfc::ListControl filterList;
    windows::mfc::KeyEdit keyEdit;
};

}  // namespace products::pastrix::config::tab
