#include "os/Keyboard.h"
#include "os/sim/SimKeyboard.h"

#include <gtest/gtest.h>

namespace {

using os::AsciiBuffer;
using os::KeyStateTable;

TEST(SimKeyboardTest, TheKeyboardStateHoldsDownAndToggledKeys) {
    os::sim::SimKeyboard keyboard;
    keyboard.setKeyDown(os::vk::RShift, true);
    keyboard.setKeyDown(os::vk::Capital, true);
    keyboard.setKeyDown(os::vk::Capital, false);
    keyboard.setKeyDown('K', true);
    KeyStateTable state;
    state.fill(0x55);
    ASSERT_TRUE(keyboard.getKeyboardState(state));
    EXPECT_EQ(state[os::vk::RShift] & 0x80, 0x80);
    EXPECT_EQ(state[os::vk::Shift] & 0x80, 0x80);
    EXPECT_EQ(state[os::vk::Capital], 0x01);
    EXPECT_EQ(state['K'] & 0x80, 0x80);
    EXPECT_EQ(state['J'], 0);
}

// A layout with a dead accent, as international layouts have: the apostrophe key waits for
// the next key.
class DeadKeyTest : public ::testing::Test {
protected:
    DeadKeyTest() { keyboard.addDeadKey(0xDE, 0, '\xB4', {{'e', '\xE9'}, {' ', '\xB4'}}); }

    int type(unsigned virtualKey, AsciiBuffer& characters) {
        const KeyStateTable state{};
        characters = {};
        return keyboard.toAscii(virtualKey, 0, state, characters, 0);
    }

    os::sim::SimKeyboard keyboard;
};

TEST_F(DeadKeyTest, ADeadKeyCombinesWithTheNextCharacterOrComesBeforeIt) {
    AsciiBuffer characters;
    EXPECT_EQ(type(0xDE, characters), -1);
    EXPECT_EQ(characters[0], 0xB4);
    EXPECT_EQ(type(os::vk::Shift, characters), 0);  // keys without a character wait
    EXPECT_EQ(type('E', characters), 1);
    EXPECT_EQ(characters[0], 0xE9);

    EXPECT_EQ(type(0xDE, characters), -1);
    EXPECT_EQ(type('X', characters), 2);
    EXPECT_EQ(characters[0], 0xB4);
    EXPECT_EQ(characters[1], 'x');
    EXPECT_EQ(type('X', characters), 1);  // the dead key is gone now

    EXPECT_EQ(type(0xDE, characters), -1);
    EXPECT_EQ(type(0xDE, characters), 2);
    EXPECT_EQ(characters[0], 0xB4);
    EXPECT_EQ(characters[1], 0xB4);

    EXPECT_EQ(keyboard.vkKeyScan('\xB4'), 0xDE);
    EXPECT_EQ(keyboard.vkKeyScan('\xE9'), -1);  // combined characters have no key
}

}  // namespace
