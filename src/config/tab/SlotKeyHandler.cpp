#include "config/tab/SlotKeyHandler.h"

#include "config/clipboard/ViewerRefreshMessage.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"

#include <algorithm>

namespace products::pastrix::config::tab {

using clipboard::StateMachine;

SlotKeyHandler::SlotKeyHandler(clipboard::Executer& executer,
                               workspace::ActiveWorkspace& activeWorkspace, bool isEnabled,
                               std::vector<int> keysNeverSlots)
    : enabled(isEnabled),
      filterKeys(std::move(keysNeverSlots)),
      workspace(activeWorkspace),
      stateMachine(executer) {}

bool SlotKeyHandler::isDown(int virtualKey) const {
    return (os::keyboard().getKeyState(virtualKey) & 0x80) != 0;
}

bool SlotKeyHandler::isGestureHeld() const {
    return isDown(os::vk::LButton) || (isDown(os::vk::Control) && !isDown(os::vk::Menu));
}

bool SlotKeyHandler::isTriggerKey(int virtualKey) const {
    return virtualKey == os::vk::LButton || virtualKey == os::vk::Control;
}

bool SlotKeyHandler::isSlotKey(int virtualKey) const {
    if (std::find(filterKeys.begin(), filterKeys.end(), virtualKey) != filterKeys.end()) {
        return false;
    }
    return !isTriggerKey(virtualKey);
}

void SlotKeyHandler::setEnabled(bool isEnabled) {
    enabled = isEnabled;
    publishSlotKeys();
}

void SlotKeyHandler::setFilterKeys(std::vector<int> keys) {
    filterKeys = std::move(keys);
    publishSlotKeys();
}

SlotKeyHandler::SlotKeys SlotKeyHandler::getSlotKeys() const {
    SlotKeys keys{};
    if (enabled) {
        for (int key = 1; key <= 254; ++key) {
            keys[static_cast<std::size_t>(key)] =
                isSlotKey(key) && workspace.isSlotFilled(key) ? 1 : 0;
        }
    }
    return keys;
}

void SlotKeyHandler::setSlotKeysListener(std::function<void(const SlotKeys&)> listener) {
    slotKeysListener = std::move(listener);
    publishSlotKeys();
}

void SlotKeyHandler::publishSlotKeys() const {
    if (slotKeysListener) {
        publishedSlotKeys = getSlotKeys();
        slotKeysListener(publishedSlotKeys);
    }
}

bool SlotKeyHandler::isLeftButtonDown() const {
    return isDown(os::vk::LButton);
}

void SlotKeyHandler::onKeyEvent(int virtualKey, bool pressed) {
    handleKeyEvent(virtualKey, pressed);
    if (gestureEndListener && isTriggerKey(virtualKey) && !pressed &&
        stateMachine.getState() == StateMachine::Idle) {
        gestureEndListener();
    }
}

void SlotKeyHandler::handleKeyEvent(int virtualKey, bool pressed) {
    if (!_tooltip) {
        PX_ASSERT(_tooltip);
        return;
    }
    // Slots fill and workspaces change between gestures; every gesture starts with an event
    // (the Ctrl press), which brings the withheld keys up to date before the first tap.
    if (slotKeysListener && getSlotKeys() != publishedSlotKeys) {
        publishSlotKeys();
    }
    if (!enabled || !workspace.isLoaded()) {
        return;
    }
    const int s = stateMachine.getState();
    if (s == StateMachine::Idle || s == StateMachine::CopySelected ||
        s == StateMachine::PasteSelected) {
        if (isGestureHeld() && isSlotKey(virtualKey) && pressed) {
            const int next = stateMachine.keyPressed(virtualKey);
            if (next == StateMachine::Idle) {
                _tooltip->hide();
            } else if (next == StateMachine::CopySelected || next == StateMachine::PasteSelected) {
                _tooltip->show(stateMachine.getKey(), next, isLeftButtonDown());
            }
        } else if (isTriggerKey(virtualKey) && !pressed) {
            _tooltip->hide();
            stateMachine.triggerReleased();
        }
        return;
    }
    // While an operation runs, only the trigger release that ends it counts.
    if (isTriggerKey(virtualKey) && !pressed) {
        stateMachine.operationDone();
        if (s == StateMachine::CopyRunning && viewerWindow != 0 &&
            os::windows().isWindow(viewerWindow)) {
            os::windows().postMessage(viewerWindow, clipboard::ViewerRefreshMessage, 0, 0);
        }
    }
}

}  // namespace products::pastrix::config::tab
