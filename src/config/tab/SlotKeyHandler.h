#pragma once

#include "config/clipboard/Executer.h"
#include "config/clipboard/SlotToolTip.h"
#include "config/clipboard/StateMachine.h"
#include "config/workspace/ActiveWorkspace.h"
#include "os/Types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace products::pastrix::config::tab {

// Turns the key and mouse events of the hooks into slot gestures. The slot settings page
// owns it and changes its Enabled flag and filter keys; every event sees their current
// values.
class SlotKeyHandler {
public:
    SlotKeyHandler(clipboard::Executer& executer, workspace::ActiveWorkspace& workspace,
                   bool enabled, std::vector<int> filterKeys);
    SlotKeyHandler(const SlotKeyHandler&) = delete;
    SlotKeyHandler& operator=(const SlotKeyHandler&) = delete;

    // One event from the hooks: a key went down or up, or (virtual key 1, not pressed) the
    // left mouse button was released.
    void onKeyEvent(int virtualKey, bool pressed);

    // Held while the left button is down, or Ctrl is down without Alt.
    bool isGestureHeld() const;
    // Ctrl and the left button end a gesture.
    bool isTriggerKey(int virtualKey) const;
    // Every key can select a slot except the triggers and the filtered keys.
    bool isSlotKey(int virtualKey) const;
    bool isLeftButtonDown() const;

    // The tooltip is attached once its window exists.
    void attachToolTip(clipboard::SlotToolTip* toolTip) { _tooltip = toolTip; }

    void setEnabled(bool isEnabled);
    bool isEnabled() const { return enabled; }
    void setFilterKeys(std::vector<int> keys);

    // Non-zero for each virtual key whose gesture tap must not reach the application in front:
    // a slot key whose slot holds something. An empty slot's tap is left to the application
    // (Ctrl+S still saves), at the price of a first copy into it being seen there too. None
    // while gestures are off.
    using SlotKeys = std::array<std::uint8_t, 256>;
    SlotKeys getSlotKeys() const;
    // Told the slot keys now and whenever Enabled or the filter keys change (the keyboard hook,
    // which keeps those taps from the application in front).
    void setSlotKeysListener(std::function<void(const SlotKeys&)> listener);
    const std::vector<int>& getFilterKeys() const { return filterKeys; }
    // Told at each trigger release after which no copy or paste runs: a gesture's operation
    // finished, or none started (the keyboard hook, which then lets the typing it kept back
    // during the operation reach the application).
    void setGestureEndListener(std::function<void()> listener) {
        gestureEndListener = std::move(listener);
    }

    // The open slot viewer's window, 0 while none is open; it is told when a copy finished.
    void setViewerWindow(os::WindowHandle window) { viewerWindow = window; }

    const clipboard::StateMachine& getStateMachine() const { return stateMachine; }

private:
    bool isDown(int virtualKey) const;
    void publishSlotKeys() const;
    void handleKeyEvent(int virtualKey, bool pressed);

    bool enabled;
    std::vector<int> filterKeys;
    workspace::ActiveWorkspace& workspace;
    clipboard::SlotToolTip* _tooltip = nullptr;
    clipboard::StateMachine stateMachine;
    os::WindowHandle viewerWindow = 0;
    std::function<void(const SlotKeys&)> slotKeysListener;
    std::function<void()> gestureEndListener;
    mutable SlotKeys publishedSlotKeys{};
};

}  // namespace products::pastrix::config::tab
