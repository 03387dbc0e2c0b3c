#include "os/ErrorCodes.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "os/ScopedInstall.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/SimDesktopTest.h"
#include "windows/devices/keyboard/Key.h"
#include "windows/devices/keyboard/KeyException.h"
#include "windows/devices/keyboard/KeyHelper.h"

#include <gtest/gtest.h>

namespace {

using windows::devices::keyboard::Key;
using windows::devices::keyboard::KeyException;
namespace KeyHelper = windows::devices::keyboard::KeyHelper;

// Key data as the keyboard hook gives it: a repeat count of 1 and the scan code.
constexpr std::uint32_t keyData(unsigned scanCode, bool extended = false, bool released = false) {
    return 1U | scanCode << 16 | (extended ? 0x01000000U : 0U) | (released ? 0x80000000U : 0U);
}

// The simulated desktop's keyboard, made to fail or to answer with a wide character.
class BrokenKeyboard final : public os::Keyboard {
public:
    explicit BrokenKeyboard(os::Keyboard& keyboard) : real(keyboard) {}

    short getKeyState(int virtualKey) const override { return real.getKeyState(virtualKey); }
    bool getKeyboardState(os::KeyStateTable& keyState) const override {
        if (failState) {
            os::errors().setLastError(os::error::AccessDenied);
            return false;
        }
        return real.getKeyboardState(keyState);
    }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override {
        return real.mapVirtualKey(code, mapType);
    }
    int getKeyNameText(std::uint32_t data, std::string& name, int bufferSize) const override {
        return real.getKeyNameText(data, name, bufferSize);
    }
    int toAscii(unsigned virtualKey, unsigned scanCode, const os::KeyStateTable& keyState,
                os::AsciiBuffer& characters, unsigned flags) override {
        const int result = real.toAscii(virtualKey, scanCode, keyState, characters, flags);
        if (wide) {
            characters[0] = 0x1E9;
        }
        return result;
    }
    short vkKeyScan(char character) const override { return real.vkKeyScan(character); }

    bool failState = false;
    bool wide = false;

private:
    os::Keyboard& real;
};

class KeyTest : public testing_support::SimDesktopAssertionTest {};

TEST_F(KeyTest, TheCharacterOfAKeyFollowsTheKeyboardState) {
    EXPECT_EQ(KeyHelper::getAscii('A', 0x1E), 'a');
    desktop.keyboard.setKeyDown(os::vk::LShift, true);
    EXPECT_EQ(KeyHelper::getAscii('A', 0x1E), 'A');
    EXPECT_EQ(KeyHelper::getAscii('2', 0x03), '@');
    desktop.keyboard.setKeyDown(os::vk::LShift, false);
    EXPECT_EQ(KeyHelper::getAscii(os::vk::Return, 0x1C), '\r');
    EXPECT_EQ(KeyHelper::getAscii(os::vk::Back, 0x0E), '\b');
    try {
        KeyHelper::getAscii(0x70, 0x3B);
        ADD_FAILURE() << "F1 types nothing";
    } catch (const KeyException& e) {
        EXPECT_EQ(e.getMessage(), "The key has no ascii translation. Virtual key: 112");
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(KeyTest, ADeadKeyCountsAsItsOwnCharacter) {
    desktop.keyboard.addDeadKey(0xDE, 0, '\xB4', {{'e', '\xE9'}});
    EXPECT_EQ(KeyHelper::getAscii(0xDE, 0x28), '\xB4');
    EXPECT_EQ(KeyHelper::getAscii('E', 0x12), '\xE9');
    // Not combined: the layout gives the accent and the letter; asked again, the letter.
    EXPECT_EQ(KeyHelper::getAscii(0xDE, 0x28), '\xB4');
    EXPECT_EQ(KeyHelper::getAscii('X', 0x2D), 'x');
}

TEST_F(KeyTest, AFailingKeyboardStateAndWideCharactersAreReported) {
    BrokenKeyboard broken(desktop.keyboard);
    os::Port port = desktop.port();
    port.keyboard = &broken;
    os::ScopedInstall brokenInstalled(port);

    broken.failState = true;
    try {
        KeyHelper::getAscii('A', 0x1E);
        ADD_FAILURE() << "the state could not be read";
    } catch (const KeyException& e) {
        EXPECT_EQ(e.getMessage(), "Can't get the ascii for virtualkey, scancode: 65, 30\n" +
                                      platform::errorresources::SystemErrors::map(5));
    }
    // A key whose state cannot be read types nothing as far as a key event can tell.
    EXPECT_FALSE(Key('A', keyData(0x1E)).hasAscii());

    broken.failState = false;
    broken.wide = true;
    KeyHelper::getAscii('A', 0x1E);
    EXPECT_TRUE(assertions.reported("key < 256"));
}

TEST_F(KeyTest, AKeyEventTellsItsNameStateAndCharacter) {
    const struct {
        unsigned virtualKey;
        std::uint32_t data;
        const char* name;
        bool pressed;
        bool extended;
        bool media;
        int ascii;  // -1: none
    } cases[] = {
        {'A', keyData(0x1E), "A", true, false, false, 'a'},
        {'A', keyData(0x1E, false, true), "A", false, false, false, 'a'},
        {0x2E, keyData(0x53, true), "Delete", true, true, false, -1},
        {0x6E, keyData(0x53), "Num Del", true, false, false, '.'},
        {os::vk::LShift, keyData(0x2A), "Shift", true, false, false, -1},
        {0x0D, keyData(0x1C), "Enter", true, false, false, '\r'},
        {173, keyData(0x20, true), "Volume Mute", true, true, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Key key(c.virtualKey, c.data);
        EXPECT_EQ(key.getVirtualKey(), c.virtualKey);
        EXPECT_EQ(key.getKeyData(), c.data);
        EXPECT_EQ(key.getName(), c.name);
        EXPECT_EQ(key.isPressed(), c.pressed);
        EXPECT_EQ(key.isExtended(), c.extended);
        EXPECT_EQ(key.isMediaKey(), c.media);
        EXPECT_EQ(key.getScancode(), (c.data >> 16) & 0xFF);
        EXPECT_EQ(key.hasAscii(), c.ascii >= 0);
        if (c.ascii >= 0) {
            EXPECT_EQ(key.getAscii(), static_cast<char>(c.ascii));
        }
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(KeyTest, BrokenKeyEventsAreReported) {
    const Key none(0, 0);
    EXPECT_TRUE(assertions.reported("_virtualKey >= 1 && _virtualKey <= 254"));
    EXPECT_TRUE(assertions.reported("_keyData > 0"));
    EXPECT_FALSE(assertions.reported("_scancode >= 0 && _scancode <= 128"));

    const Key highScan('A', keyData(0x81));
    EXPECT_TRUE(assertions.reported("_scancode >= 0 && _scancode <= 128"));

    const Key f1(0x70, keyData(0x3B));
    EXPECT_FALSE(assertions.reported("_hasAscii"));
    EXPECT_EQ(f1.getAscii(), 0);
    EXPECT_TRUE(assertions.reported("_hasAscii"));
}

}  // namespace
