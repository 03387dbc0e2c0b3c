#include "config/tab/CCTab.h"

#include "config/coolkeys/CoolKeysException.h"
#include "config/tab/AbbreviationDialog.h"
#include "config/tab/DialogTemplates.h"
#include "exceptions/Exception.h"
#include "os/Dialogs.h"
#include "platform/assertion/Assertion.h"
#include "windows/devices/keyboard/Key.h"

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::cctab;

constexpr int DeleteKey = 46;

// The controls that work only while Cool Keys are on.
constexpr int dependentControls[] = {ids::Add, ids::List, ids::Hint};

}  // namespace

CCTab::CCTab(windows::reporter::ErrorReporter& errorReporter,
             windows::reporter::InformationReporter& informationReporter,
             workspace::Workspace& activeWorkspace, configfile::CCSettings& settings)
    : PropertyPage(ids::dialogTemplate()),
      enabled(settings.isEnabled()),
      reporter(errorReporter),
      information(informationReporter),
      ccSettings(settings),
      workspace(activeWorkspace),
      list(ids::List) {
    bind(list);
    onClicked(ids::Enabled, [this] { onEnabledCheck(); });
    onClicked(ids::Add, [this] { onAdd(); });
    on(os::Notification::DoubleClicked, ids::List, [this](const os::DialogEvent&) {
        onListDoubleClick();
        return std::intptr_t{0};
    });
    on(os::Notification::KeyDown, ids::List,
       [this](const os::DialogEvent& event) { return onListKeyDown(event); });
}

CCTab::~CCTab() = default;

void CCTab::onKey(unsigned virtualKey, std::uint32_t keyData) {
    if (!enabled) {
        return;
    }
    if (!workspace.isLoaded()) {
        return;
    }
    try {
        const auto& entries = workspace.getCoolKeys();
        const windows::devices::keyboard::Key key(virtualKey, keyData);
        if (key.isPressed() && key.hasAscii()) {
            generator.addCharacter(entries, key.getAscii());
        }
    } catch (const coolkeys::CoolKeysException& e) {
        reporter.showError("Error when generating cool keys. Exception: \n" + e.getMessage() +
                           "\n\nPlease contact velbrook.");
    }
}

std::string CCTab::summary(const std::string& text) {
    std::string shown = text.substr(0, SummaryLength);
    const auto lineEnd = shown.find('\r');
    if (lineEnd != std::string::npos) {
        shown.erase(lineEnd);
    }
    if (shown != text) {
        shown += "...";
    }
    return shown;
}

void CCTab::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.check(ids::Enabled, enabled);
}

bool CCTab::onInitDialog() {
    PropertyPage::onInitDialog();
    view().enableToolTips(true);
    list.setColumns({{"Abbreviation", 30}, {"Associated text", 67}, {"Unfromatted text", 0}},
                    os::lvs::GridLines | os::lvs::FullRowSelect);
    fillList();
    return true;
}

bool CCTab::onSetActive() {
    onEnabledCheck();
    fillList();
    PropertyPage::onSetActive();
    return true;
}

void CCTab::onEnabledCheck() {
    updateData(true);
    const bool loaded = workspace.isLoaded();
    for (const int control : dependentControls) {
        view().enableControl(control, loaded && enabled);
    }
    if (!loaded && enabled) {
        enabled = false;
        view().setCheck(ids::Enabled, false);
        information.showInformation(
            "You must select a workspace first. Do this under the System tab.");
    }
    ccSettings.setEnabled(enabled);
    ccSettings.save();
}

void CCTab::fillList() {
    list.deleteAllItems();
    for (const auto& entry : workspace.getCoolKeys()) {
        if (!entry) {
            continue;
        }
        // Each row goes on top: the newest entry shows first.
        list.addRow({entry->getAbbreviation(), summary(entry->getExpand()), entry->getExpand()}, 0);
    }
}

void CCTab::onAdd() {
    try {
        openEditor("", "");
    } catch (const exceptions::Exception& e) {
        reporter.showError("An exception occured when trying to save a cool key.\n" +
                           e.getMessage());
    }
}

void CCTab::onListDoubleClick() {
    const std::vector<int> selected = list.getSelectedItems();
    if (selected.empty()) {
        return;
    }
    const int item = selected.front();
    try {
        openEditor(list.getItemText(item, 0), list.getItemText(item, 2));
    } catch (const exceptions::Exception& e) {
        reporter.showError("An exception occured when trying to save a cool key.\n" +
                           e.getMessage());
    }
}

void CCTab::openEditor(const std::string& abbreviation, const std::string& text) {
    // Restored however the editor ends, so that a failure cannot leave Cool Keys off.
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{enabled, enabled};
    enabled = false;
    AbbreviationDialog editor(reporter, workspace, abbreviation, text);
    if (editor.doModal(getHandle()) != os::id::Ok) {
        return;
    }
    coolkeys::CKEntry entry(reader, writer);
    entry.setAbbreviation(editor.getAbbreviation());
    entry.setExpand(editor.getText());
    workspace.saveCoolKey(entry);
    fillList();
}

std::intptr_t CCTab::onListKeyDown(const os::DialogEvent& event) {
    if (event.value == DeleteKey && !list.getSelectedItems().empty()) {
        deleteSelectedCoolKeys();
    }
    return 0;
}

void CCTab::deleteSelectedCoolKeys() {
    const int answer =
        view().messageBox("Are you sure you want to delete all selected items permanentely?",
                          "Warning", os::mb::IconQuestion | os::mb::YesNo);
    if (answer != os::id::Yes) {
        return;
    }
    for (const int item : list.getSelectedItems()) {
        const std::string abbreviation = list.getItemText(item, 0);
        PX_ASSERT(abbreviation != "");
        if (abbreviation == "") {
            continue;
        }
        coolkeys::CKEntry entry(reader, writer);
        entry.setAbbreviation(abbreviation);
        workspace.deleteCoolKey(entry);
    }
    list.deleteSelectedItems();
}

}  // namespace products::pastrix::config::tab
