#pragma once

#include "os/Types.h"
#include "os/Windows.h"
#include "os/sim/SimDesktop.h"
#include "support/HookStandIn.h"
#include "support/PlatformText.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/process/AttachThreadInputLibrary.h"

#include <functional>
#include <memory>
#include <string>

namespace testing_support {

// A window of the user-interface thread wired to the real simulated hook library as the
// running program wires its System page: the library loaded for the keyboard hook, the mouse
// hook and the thread registration, this thread registered, and both hooks started for the
// window. The system's part of the library's promise (the key state at each event while its
// message is handled) is played by a HookStandIn. The hooks are stopped again, keyboard
// first, when it goes.
class HookedWindow {
public:
    // One message of the loop, taken from the thread's queue.
    using Handler = std::function<void(const os::Message& message)>;

    HookedWindow(os::sim::SimDesktop& desktop, const std::string& title,
                 const std::string& library = libraryFile("clipboard"));
    ~HookedWindow();
    HookedWindow(const HookedWindow&) = delete;
    HookedWindow& operator=(const HookedWindow&) = delete;

    os::WindowHandle window() const { return window_; }

    // The user-interface loop's turn: every waiting message goes to the handler, which sees
    // the key state of the message's event.
    void pump(const Handler& handler);

    // Routes a hook message the way the settings sheet does: a key to the slot handler and
    // then to Cool Keys, a button release to the slot handler as the left button.
    static void route(const os::Message& message,
                      const std::function<void(int virtualKey, bool pressed)>& slotHandler,
                      const std::function<void(unsigned virtualKey, std::uint32_t keyData)>&
                          coolKeysHandler = {});

private:
    os::sim::SimDesktop& desktop_;
    os::WindowHandle window_;
    HookStandIn standIn_;
    std::unique_ptr<windows::hook::KeyboardHook> keyboardHook_;
    std::unique_ptr<windows::hook::MouseHook> mouseHook_;
    windows::process::AttachThreadInputLibrary threadRegistration_;
};

}  // namespace testing_support
