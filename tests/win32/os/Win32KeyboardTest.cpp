#include "os/posix/UsLayoutKeyboard.h"
#include "os/win32/Win32Keyboard.h"

#include <string>
#include <string_view>
#include <windows.h>

#include <gtest/gtest.h>

namespace os::win32 {
namespace {

// The portable United States layout, which the other desktops answer from: the system's must
// agree with it where the program relies on the answers.
class PortableLayout final : public posix::UsLayoutKeyboard {
public:
    short getKeyState(int) const override { return 0; }
    bool getKeyboardState(KeyStateTable& keyState) const override {
        keyState.fill(0);
        return true;
    }
};

// Wine takes the layout from the X server's keymap, and Xvfb's has no keys for the parentheses
// and puts '<' on the key beside the left Shift (VK_OEM_102): the program does not rely on
// these.
bool differsUnderXvfb(char character) {
    return std::string_view("()<").find(character) != std::string_view::npos;
}

// The key state that holds the modifiers vkKeyScan asks for.
KeyStateTable stateFor(short scan) {
    KeyStateTable state{};
    const unsigned modifiers = (static_cast<unsigned short>(scan) >> 8) & 0xFF;
    if ((modifiers & vkscan::Shift) != 0) {
        state[vk::Shift] = state[vk::LShift] = 0x80;
    }
    if ((modifiers & vkscan::Control) != 0) {
        state[vk::Control] = state[vk::LControl] = 0x80;
    }
    if ((modifiers & vkscan::Alt) != 0) {
        state[vk::Menu] = state[vk::LMenu] = 0x80;
    }
    return state;
}

class Win32KeyboardTest : public ::testing::Test {
protected:
    Win32Keyboard keyboard_;
    PortableLayout portable_;
};

TEST_F(Win32KeyboardTest, KeysForCharactersAreTheUnitedStatesOnes) {
    EXPECT_EQ(keyboard_.vkKeyScan('a'), 0x41);
    EXPECT_EQ(keyboard_.vkKeyScan('A'), 0x141);
    EXPECT_EQ(keyboard_.vkKeyScan('\r'), vk::Return);

    // Every printable character, as the portable layout has it.
    for (int character = 0x20; character < 0x7F; ++character) {
        if (differsUnderXvfb(static_cast<char>(character))) {
            continue;
        }
        EXPECT_EQ(keyboard_.vkKeyScan(static_cast<char>(character)),
                  portable_.vkKeyScan(static_cast<char>(character)))
            << "character '" << static_cast<char>(character) << "'";
    }
}

TEST_F(Win32KeyboardTest, EveryPrintableCharacterIsTypedBackByItsKey) {
    for (int character = 0x20; character < 0x7F; ++character) {
        if (differsUnderXvfb(static_cast<char>(character)) && character != '<') {
            continue;
        }
        const short scan = keyboard_.vkKeyScan(static_cast<char>(character));
        ASSERT_NE(scan, -1) << character;
        const unsigned key = static_cast<unsigned>(scan) & 0xFF;
        const unsigned scanCode = keyboard_.mapVirtualKey(key, mapvk::VkToScanCode);
        AsciiBuffer typed{};
        EXPECT_EQ(keyboard_.toAscii(key, scanCode, stateFor(scan), typed, 0), 1)
            << "character '" << static_cast<char>(character) << "'";
        EXPECT_EQ(typed[0], character) << "character '" << static_cast<char>(character) << "'";
    }
}

TEST_F(Win32KeyboardTest, ScanCodesAndCharactersOfKeys) {
    EXPECT_EQ(keyboard_.mapVirtualKey('A', mapvk::VkToChar), unsigned{'A'});
    EXPECT_EQ(keyboard_.mapVirtualKey(vk::Return, mapvk::VkToScanCode), 0x1Cu);
    EXPECT_EQ(keyboard_.mapVirtualKey(0x2A, mapvk::ScanCodeToVkEx), unsigned(vk::LShift));
    EXPECT_EQ(keyboard_.mapVirtualKey(0x36, mapvk::ScanCodeToVkEx), unsigned(vk::RShift));

    for (unsigned key = '0'; key <= 'Z'; ++key) {
        if (key > '9' && key < 'A') {
            continue;
        }
        const unsigned scanCode = keyboard_.mapVirtualKey(key, mapvk::VkToScanCode);
        EXPECT_EQ(scanCode, portable_.mapVirtualKey(key, mapvk::VkToScanCode)) << key;
        EXPECT_EQ(keyboard_.mapVirtualKey(scanCode, mapvk::ScanCodeToVk), key) << key;
    }
}

TEST_F(Win32KeyboardTest, ModifiersChangeWhatAKeyTypesAndAKeyGoingUpTypesNothing) {
    const unsigned scanCode = keyboard_.mapVirtualKey('A', mapvk::VkToScanCode);
    AsciiBuffer typed{};
    KeyStateTable state{};
    EXPECT_EQ(keyboard_.toAscii('A', scanCode, state, typed, 0), 1);
    EXPECT_EQ(typed[0], 'a');

    state[vk::Shift] = 0x80;
    EXPECT_EQ(keyboard_.toAscii('A', scanCode, state, typed, 0), 1);
    EXPECT_EQ(typed[0], 'A');

    state = {};
    state[vk::Control] = 0x80;
    EXPECT_EQ(keyboard_.toAscii('A', scanCode, state, typed, 0), 1);
    EXPECT_EQ(typed[0], 1);

    state = {};
    state[vk::Capital] = 0x01;
    EXPECT_EQ(keyboard_.toAscii('A', scanCode, state, typed, 0), 1);
    EXPECT_EQ(typed[0], 'A');

    state = {};
    EXPECT_EQ(keyboard_.toAscii(vk::Shift, 0x2A, state, typed, 0), 0);
    EXPECT_EQ(keyboard_.toAscii('A', scanCode | 0x8000, state, typed, 0), 0);
}

TEST_F(Win32KeyboardTest, KeysHaveNamesCutToTheBuffer) {
    // Names differ between a desktop and none (X's key names or the system's), so only their
    // presence and length are checked.
    std::string name;
    const std::uint32_t keyA = 0x1Eu << keydata::ScanCodeShift;
    const int length = keyboard_.getKeyNameText(keyA, name, 64);
    EXPECT_GT(length, 0);
    EXPECT_EQ(static_cast<int>(name.size()), length);

    const std::uint32_t space = 0x39u << keydata::ScanCodeShift;
    EXPECT_GT(keyboard_.getKeyNameText(space, name, 64), 0);
    const std::string full = name;
    if (full.size() > 1) {
        EXPECT_EQ(keyboard_.getKeyNameText(space, name, 2), 1);
        EXPECT_EQ(name, full.substr(0, 1));
    }
    EXPECT_EQ(keyboard_.getKeyNameText(space, name, 0), 0);
    EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace os::win32
