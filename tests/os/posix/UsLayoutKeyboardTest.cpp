#include "os/Keyboard.h"
#include "os/posix/ConsoleKeyboard.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using os::AsciiBuffer;
using os::KeyStateTable;

class UsLayoutKeyboardTest : public ::testing::Test {
protected:
    // What the key types with the modifiers (vkscan bits) held and Caps Lock as given.
    int type(unsigned virtualKey, unsigned modifiers, bool capsLock, std::string& typed) {
        KeyStateTable state{};
        state[os::vk::Shift] = (modifiers & os::vkscan::Shift) != 0 ? 0x80 : 0;
        state[os::vk::Control] = (modifiers & os::vkscan::Control) != 0 ? 0x80 : 0;
        state[os::vk::Menu] = (modifiers & os::vkscan::Alt) != 0 ? 0x80 : 0;
        state[os::vk::Capital] = capsLock ? 0x01 : 0;
        AsciiBuffer characters{};
        const int result = keyboard.toAscii(virtualKey, 0, state, characters, 0);
        typed.clear();
        for (int i = 0; i < result; ++i) {
            typed.push_back(static_cast<char>(characters[static_cast<std::size_t>(i)]));
        }
        return result;
    }

    os::posix::ConsoleKeyboard keyboard;
};

TEST_F(UsLayoutKeyboardTest, EveryPrintableCharacterHasAKeyThatTypesItBack) {
    std::string typed;
    for (int code = 0x20; code < 0x7F; ++code) {
        const char character = static_cast<char>(code);
        const auto scan = static_cast<unsigned short>(keyboard.vkKeyScan(character));
        ASSERT_NE(scan, 0xFFFF) << "no key for " << character;
        EXPECT_EQ(scan >> 8 & ~os::vkscan::Shift, 0U) << character << " needs only Shift";
        EXPECT_EQ(type(scan & 0xFFU, scan >> 8, false, typed), 1) << character;
        EXPECT_EQ(typed, std::string(1, character));
    }
}

TEST_F(UsLayoutKeyboardTest, KeysForCharacters) {
    const struct {
        char character;
        short scan;
    } cases[] = {
        // Where a Ctrl+letter or the numeric pad types it too, the key of its own or the main
        // block's.
        {'\\', 0xDC},
        {'*', 0x100 | '8'},
        {'\b', 0x08},
        {'\t', 0x09},
        {'\r', 0x0D},
        {0x1B, 0x1B},
        // Control characters with Ctrl.
        {'\n', 0x200 | 0x0D},
        {0x01, 0x200 | 'A'},
        {0x7F, 0x200 | 0x08},
        {0x1F, 0x300 | 0xBD},
        // No key at all.
        {0x00, -1},
        {'\xE9', -1},
        {'\x80', -1},
        {'\xFF', -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyboard.vkKeyScan(c.character), c.scan) << static_cast<int>(c.character);
    }
}

TEST_F(UsLayoutKeyboardTest, ShiftCapsLockCtrlAndAltChangeWhatKeysType) {
    const struct {
        unsigned virtualKey;
        unsigned modifiers;
        bool capsLock;
        const char* typed;
    } cases[] = {
        {'Q', 0, false, "q"},
        {'Q', os::vkscan::Shift, false, "Q"},
        {'Q', 0, true, "Q"},
        {'Q', os::vkscan::Shift, true, "q"},
        {'5', 0, true, "5"},  // Caps Lock is for letters only
        {'C', os::vkscan::Control, false, "\x03"},
        {'C', os::vkscan::Control, true, "\x03"},
        {'Q', os::vkscan::Alt, false, "q"},  // Alt alone leaves characters to menus
        {'Q', os::vkscan::Control | os::vkscan::Alt, false, ""},
        {'5', os::vkscan::Control, false, ""},
        {0x0D, 0, false, "\r"},
        {0x0D, os::vkscan::Control, false, "\n"},
        {0x6A, 0, false, "*"},  // the numeric pad
        {os::vk::Shift, os::vkscan::Shift, false, ""},
        {0x70, 0, false, ""},  // F1
        {0x300, 0, false, ""},
    };
    std::string typed;
    for (const auto& c : cases) {
        const auto expected = static_cast<int>(std::string(c.typed).size());
        EXPECT_EQ(type(c.virtualKey, c.modifiers, c.capsLock, typed), expected) << c.virtualKey;
        EXPECT_EQ(typed, c.typed) << c.virtualKey << " " << c.modifiers;
    }
}

TEST_F(UsLayoutKeyboardTest, AKeyGoingUpTypesNothing) {
    KeyStateTable state{};
    AsciiBuffer characters{};
    EXPECT_EQ(keyboard.toAscii('A', 0x801E, state, characters, 0), 0);
    EXPECT_EQ(keyboard.toAscii('A', 0x1E, state, characters, 0), 1);
}

}  // namespace
