#pragma once

#include "config/coolkeys/CoolKeyGenerator.h"
#include "config/workspace/Workspace.h"
#include "windows/reporter/ErrorReporter.h"

#include <cstdint>

namespace products::pastrix::config::tab {

// The Cool Keys page. It holds the switch, the open workspace and the generator that turns
// the user's typing into expansions; the property sheet hands it every key event of the
// hooks after the slot key handler.
class CCTab {
public:
    // The page keeps the typed characters up to this limit (and twice as many at most).
    static constexpr std::uint32_t BufferLimit = 256;

    CCTab(windows::reporter::ErrorReporter& errorReporter, workspace::Workspace& activeWorkspace,
          bool isEnabled);
    virtual ~CCTab();
    CCTab(const CCTab&) = delete;
    CCTab& operator=(const CCTab&) = delete;

    // One key event from the hooks: the virtual key and the hook's key data. A key going
    // down that types a character feeds the generator while Cool Keys are on and a
    // workspace is open. A text the keyboard cannot type is reported, not passed on.
    void onKey(unsigned virtualKey, std::uint32_t keyData);

    void setEnabled(bool isEnabled) { enabled = isEnabled; }
    bool isEnabled() const { return enabled; }
    const coolkeys::CoolKeyGenerator& getGenerator() const { return generator; }

private:
    bool enabled;
    windows::reporter::ErrorReporter& reporter;
    workspace::Workspace& workspace;
    coolkeys::CoolKeyGenerator generator{BufferLimit};
};

}  // namespace products::pastrix::config::tab
