#include "support/HookedWindow.h"

#include "os/Keyboard.h"
#include "os/Port.h"
#include "windows/hook/HookLibrary.h"

namespace testing_support {

namespace hook = windows::hook;

HookedWindow::HookedWindow(os::sim::SimDesktop& desktop, const std::string& title,
                           const std::string& library)
    : desktop_(desktop),
      window_(desktop.windows.addWindow(title)),
      standIn_(desktop, window_, HookStandIn::Messages::PostedByLibrary),
      keyboardHook_(std::make_unique<hook::KeyboardHook>(library)),
      mouseHook_(std::make_unique<hook::MouseHook>(library)),
      threadRegistration_(library) {
    threadRegistration_.setAttachThreadInputId(os::threads().getCurrentThreadId());
    keyboardHook_->start(window_);
    mouseHook_->start(window_);
}

HookedWindow::~HookedWindow() {
    // Stopped here, keyboard first as the program does, so that no hook's destructor has
    // anything left to fail.
    keyboardHook_->stop();
    mouseHook_->stop();
}

void HookedWindow::pump(const Handler& handler) {
    while (const auto message = desktop_.windows.takeMessage()) {
        standIn_.handling(message);
        handler(*message);
    }
    standIn_.handling(std::nullopt);
}

void HookedWindow::route(const os::Message& message,
                         const std::function<void(int, bool)>& slotHandler,
                         const std::function<void(unsigned, std::uint32_t)>& coolKeysHandler) {
    if (message.message == hook::KeyEventMessage) {
        slotHandler(static_cast<int>(message.wParam), hook::keydata::isPress(message.lParam));
        if (coolKeysHandler) {
            coolKeysHandler(static_cast<unsigned>(message.wParam),
                            static_cast<std::uint32_t>(message.lParam));
        }
    } else if (message.message == hook::MouseEventMessage) {
        slotHandler(os::vk::LButton, false);
    }
}

}  // namespace testing_support
