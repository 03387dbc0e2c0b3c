#include "config/clipboard/ExecuterImpl.h"

#include "exceptions/Exception.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/devices/keyboard/Keyboard.h"
#include "windows/window/WindowTitle.h"

namespace products::pastrix::config::clipboard {

namespace Keyboard = windows::devices::keyboard::Keyboard;
namespace ClipboardHelper = windows::clipboard::ClipboardHelper;

namespace {

constexpr unsigned LetterC = 67;
constexpr unsigned LetterV = 86;

void sendWithCtrl(unsigned letter) {
    Keyboard::pressKey(os::vk::Control);
    Keyboard::pressKey(letter);
    Keyboard::releaseKey(letter);
    Keyboard::releaseKey(os::vk::Control);
}

bool isSlot(int key) {
    return key >= 0 && static_cast<std::size_t>(key) < workspace::Workspace::SlotCount;
}

}  // namespace

ExecuterImpl::ExecuterImpl(workspace::Workspace& workspace) : _workspace(workspace) {}

bool ExecuterImpl::startCopy(int key) {
    static_cast<void>(key);
    savedClipboard.capture();
    {
        // Empty before Ctrl+C, so that an application that copies nothing leaves nothing.
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
    }
    sendWithCtrl(LetterC);
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
    clipboard->restore();

    sendWithCtrl(LetterV);
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
