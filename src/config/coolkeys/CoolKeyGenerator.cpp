#include "config/coolkeys/CoolKeyGenerator.h"

#include "config/coolkeys/CoolKeysException.h"
#include "os/Input.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "windows/devices/keyboard/Keyboard.h"

#include <algorithm>

namespace products::pastrix::config::coolkeys {

namespace Keyboard = windows::devices::keyboard::Keyboard;

namespace {

constexpr unsigned BackspaceKey = 8;
constexpr unsigned ShiftKey = 16;
constexpr unsigned ControlKey = 17;
constexpr unsigned AltKey = 18;
constexpr unsigned Press = 0;
constexpr unsigned Release = os::keyeventf::KeyUp;
constexpr unsigned PressModifier = os::keyeventf::ExtendedKey;
constexpr unsigned ReleaseModifier = os::keyeventf::ExtendedKey | os::keyeventf::KeyUp;

// The modifiers in the order they go down and come up.
constexpr struct {
    unsigned shiftState;
    unsigned virtualKey;
} modifiers[] = {
    {os::vkscan::Shift, ShiftKey},
    {os::vkscan::Control, ControlKey},
    {os::vkscan::Alt, AltKey},
};

}  // namespace

CoolKeyGenerator::CoolKeyGenerator(std::uint32_t limit) : bufferLimit(limit) {}

CoolKeyGenerator::~CoolKeyGenerator() = default;

void CoolKeyGenerator::addCharacter(const Entries& entries, char character) {
    typedText.push_back(character);

    std::size_t winner = AbbreviationIndex::None;
    if (holdsNoAbbreviation && index.isBuiltFrom(entries)) {
        state = index.next(state, static_cast<unsigned char>(character));
        winner = index.firstEndingIn(state);
    } else {
        // The list changed since the last character (or this is the first): an abbreviation
        // may occur anywhere in what was typed before.
        index.build(entries);
        winner = index.firstOccurringIn(typedText, state);
    }
    // Either nothing occurs, or the expansion below empties the typed characters.
    holdsNoAbbreviation = true;
    if (winner != AbbreviationIndex::None) {
        expand(*entries[winner]);
    }

    if (typedText.size() > 2 * static_cast<std::uint64_t>(bufferLimit)) {
        // A limit of 0 keeps nothing rather than growing without end.
        typedText.erase(0, bufferLimit == 0 ? typedText.size() : bufferLimit);
        // What was dropped can no longer begin an abbreviation.
        state = index.stateAfter(typedText);
    }
}

void CoolKeyGenerator::expand(const CKEntry& entry) {
    typedText.clear();
    state = AbbreviationIndex::Start;
    for (std::size_t i = 0; i < entry.getAbbreviation().size(); ++i) {
        Keyboard::sendKey(BackspaceKey, Press, 0);
        Keyboard::sendKey(BackspaceKey, Release, 0);
    }
    typeText(entry.getExpand());
}

void CoolKeyGenerator::typeText(const std::string& text) const {
    char previous = 0;
    for (char character : text) {
        if (character == '\n') {
            if (previous == '\r') {
                previous = character;
                continue;  // CR LF is one line break, typed with the CR
            }
            // A line break stored as LF alone (a text from a Unix file) is Enter as well;
            // the layout's own key for LF is Ctrl+Enter, which applications take otherwise.
            character = '\r';
            previous = '\n';
        } else {
            previous = character;
        }
        const auto scan = static_cast<unsigned short>(os::keyboard().vkKeyScan(character));
        const unsigned virtualKey = scan & 0xFFU;
        const unsigned shiftState = (scan >> 8) & 0xFFU;
        if (virtualKey == 0xFF && shiftState == 0xFF) {
            throw CoolKeysException(
                "Error translating the character to the corresponding virtual-key code and "
                "shift state. Key: '" +
                std::string(1, character) + "' (" +
                std::to_string(static_cast<int>(static_cast<signed char>(character))) + ")");
        }
        for (const auto& modifier : modifiers) {
            if ((shiftState & modifier.shiftState) != 0) {
                Keyboard::sendKey(modifier.virtualKey, PressModifier, 0);
            }
        }
        Keyboard::sendKey(virtualKey, Press, 0);
        Keyboard::sendKey(virtualKey, Release, 0);
        for (const auto& modifier : modifiers) {
            if ((shiftState & modifier.shiftState) != 0) {
                Keyboard::sendKey(modifier.virtualKey, ReleaseModifier, 0);
            }
        }
    }
}

}  // namespace products::pastrix::config::coolkeys
