#include "support/HookStandIn.h"

#include "windows/hook/HookLibrary.h"

namespace testing_support {

namespace hook = windows::hook;

HookStandIn::HookStandIn(os::sim::SimDesktop& simDesktop, os::WindowHandle target, Messages posting)
    : desktop(simDesktop), window(target), messages(posting), installed(portWith(*this)) {
    keyWatcher = desktop.input.watchKeys([this](const os::sim::InputEvent& event) {
        const std::uint32_t keyData =
            hook::keydata::make(event.scanCode, event.extended, event.released) | 1U;
        post(hook::KeyEventMessage, static_cast<std::uintptr_t>(event.virtualKey),
             static_cast<std::intptr_t>(static_cast<std::int32_t>(keyData)));
    });
    buttonWatcher = desktop.input.watchLeftButton([this](bool pressed) {
        if (!pressed) {
            post(hook::MouseEventMessage, 0, 0);
        }
    });
}

HookStandIn::~HookStandIn() {
    desktop.input.unwatch(keyWatcher);
    desktop.input.unwatch(buttonWatcher);
}

os::Port HookStandIn::portWith(os::Keyboard& keyboard) {
    // On top of whatever the test installed, so that its other parts stay.
    os::Port port = os::installed();
    port.keyboard = &keyboard;
    return port;
}

void HookStandIn::post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    // The watchers run after the event reached the key state, so this is the state at it.
    os::KeyStateTable state{};
    desktop.keyboard.getKeyboardState(state);
    {
        std::lock_guard lock(mutex);
        posted.push_back(state);
    }
    if (messages == Messages::Posted) {
        desktop.windows.postMessage(window, message, wParam, lParam);
    }
}

void HookStandIn::handling(const std::optional<os::Message>& message) {
    std::lock_guard lock(mutex);
    current.reset();
    if (message && (window == 0 || message->window == window) &&
        (message->message == hook::KeyEventMessage ||
         message->message == hook::MouseEventMessage) &&
        !posted.empty()) {
        current = posted.front();
        posted.pop_front();
    }
}

short HookStandIn::getKeyState(int virtualKey) const {
    {
        std::lock_guard lock(mutex);
        if (current && virtualKey >= 0 && virtualKey < 256) {
            const std::uint8_t state = (*current)[static_cast<std::size_t>(virtualKey)];
            const int value = ((state & 0x80) != 0 ? 0xFF80 : 0) | (state & 0x01);
            return static_cast<short>(static_cast<unsigned short>(value));
        }
    }
    return desktop.keyboard.getKeyState(virtualKey);
}

bool HookStandIn::getKeyboardState(os::KeyStateTable& keyState) const {
    {
        std::lock_guard lock(mutex);
        if (current) {
            keyState = *current;
            return true;
        }
    }
    return desktop.keyboard.getKeyboardState(keyState);
}

unsigned HookStandIn::mapVirtualKey(unsigned code, unsigned mapType) const {
    return desktop.keyboard.mapVirtualKey(code, mapType);
}

int HookStandIn::getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const {
    return desktop.keyboard.getKeyNameText(keyData, name, bufferSize);
}

int HookStandIn::toAscii(unsigned virtualKey, unsigned scanCode, const os::KeyStateTable& keyState,
                         os::AsciiBuffer& characters, unsigned flags) {
    return desktop.keyboard.toAscii(virtualKey, scanCode, keyState, characters, flags);
}

short HookStandIn::vkKeyScan(char character) const {
    return desktop.keyboard.vkKeyScan(character);
}

}  // namespace testing_support
