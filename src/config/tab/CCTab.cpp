#include "config/tab/CCTab.h"

#include "config/coolkeys/CoolKeysException.h"
#include "windows/devices/keyboard/Key.h"

namespace products::pastrix::config::tab {

CCTab::CCTab(windows::reporter::ErrorReporter& errorReporter, workspace::Workspace& activeWorkspace,
             bool isEnabled)
    : enabled(isEnabled), reporter(errorReporter), workspace(activeWorkspace) {}

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

}  // namespace products::pastrix::config::tab
