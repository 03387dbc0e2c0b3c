#include "config/clipboard/ExecuterImpl.h"

#include "exceptions/Exception.h"
#include "os/Clipboard.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "os/Windows.h"
#include "platform/assertion/Assertion.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/devices/keyboard/Keyboard.h"
#include "windows/memory/WindowsMemoryHelper.h"
#include "windows/window/WindowTitle.h"

#include <algorithm>
#include <cstring>

namespace products::pastrix::config::clipboard {

namespace Keyboard = windows::devices::keyboard::Keyboard;
namespace ClipboardHelper = windows::clipboard::ClipboardHelper;

namespace {

namespace WindowsMemoryHelper = windows::memory::WindowsMemoryHelper;

// Modifiers down in order, the key down and up, modifiers up in the reverse order: Ctrl+C is
// Ctrl down, C down, C up, Ctrl up. The operation ends on the echo of the Ctrl release, so a
// keystroke without Ctrl is followed by a Ctrl tap, which applications ignore.
void send(const Keystroke& keystroke) {
    for (const unsigned modifier : keystroke.modifiers) {
        Keyboard::pressKey(modifier);
    }
    if (keystroke.key != 0) {
        // Insert, Delete and the navigation keys of the key block are extended keys; without
        // the flag they are the numeric pad's, which terminals do not paste with.
        const unsigned extended =
            keystroke.key >= 0x21 && keystroke.key <= 0x2E ? os::keyeventf::ExtendedKey : 0U;
        Keyboard::sendKey(keystroke.key, extended, 0);
        Keyboard::sendKey(keystroke.key, extended | os::keyeventf::KeyUp, 0);
    }
    for (auto modifier = keystroke.modifiers.rbegin(); modifier != keystroke.modifiers.rend();
         ++modifier) {
        Keyboard::releaseKey(*modifier);
    }
    if (std::find(keystroke.modifiers.begin(), keystroke.modifiers.end(),
                  static_cast<unsigned>(os::vk::Control)) == keystroke.modifiers.end()) {
        Keyboard::pressKey(os::vk::Control);
        Keyboard::releaseKey(os::vk::Control);
    }
}

// The class of the window in front; empty when there is none or it cannot be read.
std::string foregroundClass() {
    std::string name;
    os::windows().getClassName(os::windows().getForegroundWindow(), name, 256);
    return name;
}

// Puts the text on the clipboard as plain text, as an application's copy would, for the
// copy keystroke only.
void putTextOnClipboard(const std::string& text) {
    const os::MemoryHandle block =
        WindowsMemoryHelper::globalAlloc(os::GMemMoveable, text.size() + 1);
    void* bytes = WindowsMemoryHelper::globalLock(block);
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    WindowsMemoryHelper::globalUnlock(block);
    windows::clipboard::Clipboard selection("Selection");
    selection.add({block, os::cf::Text});
    selection.restoreTransient();
}

bool isSlot(int key) {
    return key >= 0 && static_cast<std::size_t>(key) < workspace::Workspace::SlotCount;
}

}  // namespace

ExecuterImpl::ExecuterImpl(workspace::Workspace& workspace) : _workspace(workspace) {}

void ExecuterImpl::setKeystrokes(KeystrokeTable keystrokes) {
    _keystrokes = std::move(keystrokes);
}

bool ExecuterImpl::startCopy(int key) {
    static_cast<void>(key);
    savedClipboard.capture();
    {
        // Empty before Ctrl+C, so that an application that copies nothing leaves nothing.
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
        ClipboardHelper::markTransient();
    }
    const Keystroke& keystroke =
        _keystrokes.lookUp(foregroundClass(), KeystrokeTable::Action::Copy);
    if (keystroke.selection == Keystroke::Selection::Primary) {
        // What such an application copies is what the user selected in it.
        std::string text;
        if (os::clipboard().getPrimaryText(text)) {
            putTextOnClipboard(text);
        }
    }
    send(keystroke);
    return true;
}

bool ExecuterImpl::startPaste(int key) {
    if (!isSlot(key) || !_workspace.getClipboards()[static_cast<std::size_t>(key)]) {
        return false;
    }
    savedClipboard.capture();

    const auto clipboardNumber = static_cast<std::size_t>(key);
    PX_ASSERT(clipboardNumber < _workspace.getClipboards().size());
    const auto& clipboard = _workspace.getClipboards()[clipboardNumber];
    PX_ASSERT(clipboard);
    clipboard->restoreTransient();

    const Keystroke& keystroke =
        _keystrokes.lookUp(foregroundClass(), KeystrokeTable::Action::Paste);
    if (keystroke.selection == Keystroke::Selection::Primary) {
        // A failure leaves the selection as it was: the keystroke pastes that, as it would have.
        os::clipboard().offerClipboardAsPrimary();
    }
    send(keystroke);
    return true;
}

void ExecuterImpl::finishCopy(int key) {
    if (isSlot(key) && _workspace.setFromCurrentClipboard(static_cast<unsigned>(key))) {
        std::string caption;
        try {
            caption = windows::window::getWindowTitle(os::windows().getForegroundWindow(), false);
        } catch (const ::exceptions::Exception&) {
            caption = "N/A";
        }
        _workspace.getClipboards()[static_cast<std::size_t>(key)]->setCaption(caption);
        _workspace.saveClipboard(static_cast<unsigned>(key));
    }
    savedClipboard.restore();
}

void ExecuterImpl::finishPaste(int key) {
    static_cast<void>(key);
    savedClipboard.restore();
}

}  // namespace products::pastrix::config::clipboard
