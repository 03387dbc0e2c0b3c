#pragma once

#include "os/Keyboard.h"
#include "os/ScopedInstall.h"
#include "os/Types.h"
#include "os/sim/SimDesktop.h"

#include <deque>
#include <mutex>
#include <optional>

namespace testing_support {

// Stands in for the hook library on the simulated desktop, for end-to-end tests that run
// without it. Like the library, it turns every key event into a KeyEventMessage (wParam the
// virtual key, lParam the key data with a repeat count of 1) and every release of the left
// button into a MouseEventMessage, posted to the given window; and while the window's
// thread handles such a message, the key state it reads is the state at that event. The
// test tells which message it is handling with `handling` and installs this object's
// keyboard as the platform's for its lifetime.
// With the real hook library loaded, the library posts the messages and this object plays
// only the system's part: the key state at each event while its message is handled. Window 0
// then stands for whatever window the library posts to.
class HookStandIn final : public os::Keyboard {
public:
    enum class Messages { Posted, PostedByLibrary };

    HookStandIn(os::sim::SimDesktop& desktop, os::WindowHandle window,
                Messages messages = Messages::Posted);
    ~HookStandIn() override;
    HookStandIn(const HookStandIn&) = delete;
    HookStandIn& operator=(const HookStandIn&) = delete;

    // The message the window's thread took: a hook message brings its event's key state
    // along; other messages, and none, mean the live state.
    void handling(const std::optional<os::Message>& message);

    short getKeyState(int virtualKey) const override;
    bool getKeyboardState(os::KeyStateTable& keyState) const override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override;
    int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const override;
    int toAscii(unsigned virtualKey, unsigned scanCode, const os::KeyStateTable& keyState,
                os::AsciiBuffer& characters, unsigned flags) override;
    short vkKeyScan(char character) const override;

private:
    void post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    static os::Port portWith(os::Keyboard& keyboard);

    os::sim::SimDesktop& desktop;
    os::WindowHandle window;
    Messages messages;
    mutable std::mutex mutex;
    // The key state at each posted message not yet handled, oldest first.
    std::deque<os::KeyStateTable> posted;
    std::optional<os::KeyStateTable> current;
    int keyWatcher = 0;
    int buttonWatcher = 0;
    os::ScopedInstall installed;
};

}  // namespace testing_support
