#pragma once

#include "os/Keyboard.h"

#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace os::posix {

// The layout queries of a keyboard with the United States layout, for desktops whose
// keyboard is not the system's own (the simulated desktop, command-line programs). Key
// state stays with the concrete keyboard.
//
// The layout types every printable ASCII character, Enter (13), Backspace (8), Tab (9) and
// Escape (27); with Ctrl, the control characters (Ctrl+A is 1, Ctrl+Enter is 10, ...), as
// the system's own layout does. Characters 128 and above have no key. The United States
// layout has no dead keys; a keyboard may add some to stand for another layout.
class UsLayoutKeyboard : public Keyboard {
public:
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override;
    int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const override;
    int toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                AsciiBuffer& characters, unsigned flags) override;
    short vkKeyScan(char character) const override;

protected:
    // Makes the key, with the modifiers (vkscan::Shift, vkscan::Control), a dead key with the
    // given character: it types nothing itself and combines with the next character as
    // `combined` says; a character it does not combine with comes after its own.
    void addDeadKey(unsigned virtualKey, unsigned modifiers, char character,
                    std::map<char, char> combined);

private:
    struct DeadKey {
        unsigned virtualKey;
        unsigned modifiers;
        char character;
        std::map<char, char> combined;
    };

    const DeadKey* findDeadKey(unsigned virtualKey, unsigned modifiers) const;

    // The dead key waiting for the next key; one for the desktop, as the key state is.
    mutable std::mutex deadKeyMutex;
    std::vector<DeadKey> deadKeys;
    std::optional<DeadKey> pendingDeadKey;
};

}  // namespace os::posix
