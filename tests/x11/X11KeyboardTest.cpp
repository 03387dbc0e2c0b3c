#include "KeysTestSupport.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/ThreadInputState.h"
#include "os/x11/X11Input.h"
#include "os/x11/X11Keyboard.h"

#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

using keys_test::run;
using os::x11::PacketKey;
using os::x11::X11Keyboard;

constexpr unsigned VkShift = 0x10;
constexpr unsigned VkControl = 0x11;
constexpr unsigned VkMenu = 0x12;

class X11KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { run("setxkbmap us"); }

    // The layout's name for the key with the scan code.
    std::string nameOf(unsigned scanCode, bool extended) {
        std::string name;
        keyboard.getKeyNameText(scanCode << 16 | (extended ? 0x01000000U : 0U), name, 255);
        return name;
    }

    unsigned virtualKeyOfScan(unsigned scanCode) {
        return keyboard.mapVirtualKey(scanCode, os::mapvk::ScanCodeToVkEx);
    }

    // Translates one key press with the given keys held.
    int type(unsigned virtualKey, std::array<char32_t, 2>& characters,
             std::initializer_list<unsigned> held = {}) {
        os::KeyStateTable state{};
        for (const unsigned key : held) {
            state[key] = 0x80;
        }
        characters = {};
        return keyboard.toUnicode(virtualKey, keyboard.mapVirtualKey(virtualKey, 0), state,
                                  characters);
    }

    os::posix::PosixErrors errors;
    X11Keyboard keyboard{errors};
};

TEST_F(X11KeyboardTest, UsKeysHaveTheirScanCodesVirtualKeysAndNames) {
    struct Row {
        unsigned virtualKey;
        unsigned scanCode;
        bool extended;
        const char* name;
    };
    const Row rows[] = {
        {'A', 0x1E, false, "A"},
        {'1', 0x02, false, "1"},
        {0xBA, 0x27, false, ";"},
        {0xA2, 0x1D, false, "Ctrl"},
        {0xA3, 0x1D, true, "Right Ctrl"},
        {0xA0, 0x2A, false, "Shift"},
        {0xA1, 0x36, false, "Right Shift"},
        {0xA5, 0x38, true, "Right Alt"},
        {0x70, 0x3B, false, "F1"},
        {0x7B, 0x58, false, "F12"},
        {0x61, 0x4F, false, "Num 1"},
        {0x2E, 0x53, true, "Delete"},
        {0x21, 0x49, true, "Page Up"},
        {0x6F, 0x35, true, "Num /"},
        {0x90, 0x45, true, "Num Lock"},
        {0x0D, 0x1C, false, "Enter"},
        {0x5B, 0x5B, true, "Left Windows"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(keyboard.mapVirtualKey(row.virtualKey, os::mapvk::VkToScanCode), row.scanCode);
        // The pad's scan codes stand for its navigation keys, as with Num Lock off.
        const unsigned fromScan = row.virtualKey == 0x61 ? 0x23 : row.virtualKey;
        EXPECT_EQ(virtualKeyOfScan(row.scanCode | (row.extended ? 0xE000 : 0)), fromScan);
        EXPECT_EQ(nameOf(row.scanCode, row.extended), row.name);
    }
    // Without the side, Shift, Ctrl and Alt are the generic keys.
    EXPECT_EQ(keyboard.mapVirtualKey(0xE01D, os::mapvk::ScanCodeToVk), VkControl);
    EXPECT_EQ(keyboard.mapVirtualKey(0x36, os::mapvk::ScanCodeToVk), VkShift);
    EXPECT_EQ(keyboard.mapVirtualKey(VkMenu, os::mapvk::VkToScanCode), 0x38U);
    EXPECT_EQ(keyboard.mapVirtualKey('Q', os::mapvk::VkToChar), unsigned{'Q'});
    EXPECT_EQ(keyboard.mapVirtualKey(0xBF, os::mapvk::VkToChar), unsigned{'/'});
}

TEST_F(X11KeyboardTest, GermanLayoutMovesLettersAndNamesItsOwnKeys) {
    run("setxkbmap de");
    // The key right of T types z: it is the Z key, and the Z position is the Y key.
    EXPECT_EQ(keyboard.mapVirtualKey('Z', os::mapvk::VkToScanCode), 0x15U);
    EXPECT_EQ(keyboard.mapVirtualKey('Y', os::mapvk::VkToScanCode), 0x2CU);
    EXPECT_EQ(virtualKeyOfScan(0x15), unsigned{'Z'});
    EXPECT_EQ(nameOf(0x27, false), "Ö");
    EXPECT_EQ(nameOf(0x1A, false), "Ü");
    EXPECT_EQ(nameOf(0x0C, false), "ß");
    EXPECT_EQ(nameOf(0x1D, true), "Right Ctrl");
    // Plus, comma, minus and period keep their keys wherever they sit, and no two keys share
    // a virtual key.
    EXPECT_EQ(virtualKeyOfScan(0x1B), 0xBBU);
    EXPECT_EQ(virtualKeyOfScan(0x35), 0xBDU);
    std::set<unsigned> keys;
    for (unsigned scan = 1; scan <= 0x58; ++scan) {
        if (const unsigned key = virtualKeyOfScan(scan); key != 0) {
            EXPECT_TRUE(keys.insert(key).second) << "scan code " << scan;
        }
    }

    EXPECT_EQ(keyboard.vkKeyScan('z'), 'Z');
    EXPECT_EQ(keyboard.vkKeyScan('Y'), 0x100 | 'Y');
    EXPECT_EQ(keyboard.vkKeyScan('#'), static_cast<short>(virtualKeyOfScan(0x2B)));
    EXPECT_EQ(keyboard.vkKeyScan('"'), 0x100 | '2');
    // "@" needs AltGr, which is typed by its code.
    EXPECT_EQ(keyboard.vkKeyScan('@'), static_cast<short>(PacketKey));
    EXPECT_EQ(keyboard.takePacketByte(), std::optional<unsigned char>('@'));
    EXPECT_EQ(keyboard.takePacketByte(), std::nullopt);

    // The keyboard follows the layout back.
    run("setxkbmap us");
    EXPECT_TRUE(keys_test::waitFor(
        [&] { return keyboard.vkKeyScan('z') == 'Z' && keyboard.mapVirtualKey('Z', 0) == 0x2CU; }));
}

TEST_F(X11KeyboardTest, UsKeysTypeTheirCharactersWithShiftCtrlAndCapsLock) {
    std::array<char32_t, 2> typed{};
    EXPECT_EQ(type('A', typed), 1);
    EXPECT_EQ(typed[0], U'a');
    EXPECT_EQ(type('A', typed, {VkShift}), 1);
    EXPECT_EQ(typed[0], U'A');
    EXPECT_EQ(type('2', typed, {VkShift}), 1);
    EXPECT_EQ(typed[0], U'@');
    EXPECT_EQ(type('K', typed, {VkControl}), 1);
    EXPECT_EQ(typed[0], char32_t{11});
    EXPECT_EQ(type(0x0D, typed, {VkControl}), 1);
    EXPECT_EQ(typed[0], char32_t{10});
    EXPECT_EQ(type(0x08, typed), 1);
    EXPECT_EQ(typed[0], char32_t{8});
    EXPECT_EQ(type(VkShift, typed, {VkShift}), 0);
    EXPECT_EQ(type(0x70, typed), 0);

    os::KeyStateTable capsLock{};
    capsLock[0x14] = 0x01;
    os::AsciiBuffer bytes{};
    EXPECT_EQ(keyboard.toAscii('Q', 0x10, capsLock, bytes, 0), 1);
    EXPECT_EQ(bytes[0], 'Q');
    // A key going up types nothing.
    EXPECT_EQ(keyboard.toAscii('Q', 0x8010, capsLock, bytes, 0), 0);

    EXPECT_EQ(keyboard.vkKeyScan('a'), 'A');
    EXPECT_EQ(keyboard.vkKeyScan('A'), 0x100 | 'A');
    EXPECT_EQ(keyboard.vkKeyScan('?'), 0x100 | 0xBF);
    EXPECT_EQ(keyboard.vkKeyScan(' '), 0x20);
    EXPECT_EQ(keyboard.vkKeyScan('\r'), 0x0D);
    EXPECT_EQ(keyboard.vkKeyScan('\x01'), 0x200 | 'A');
    EXPECT_EQ(keyboard.vkKeyScan('\x1F'), 0x300 | 0xBD);  // Shift+Ctrl+- types 31
    EXPECT_EQ(keyboard.vkKeyScan('\0'), -1);
    // Each byte of a character outside ASCII is typed by its code.
    EXPECT_EQ(keyboard.vkKeyScan('\xC3'), static_cast<short>(PacketKey));
    EXPECT_EQ(keyboard.takePacketByte(), std::optional<unsigned char>(0xC3));
}

TEST_F(X11KeyboardTest, GermanDeadKeysComposeWithTheNextKey) {
    run("setxkbmap de");
    const unsigned acute = virtualKeyOfScan(0x0D);
    const unsigned circumflex = virtualKeyOfScan(0x29);
    ASSERT_NE(acute, 0U);
    ASSERT_NE(circumflex, 0U);

    std::array<char32_t, 2> typed{};
    EXPECT_EQ(type(acute, typed), -1);
    EXPECT_EQ(typed[0], U'\u00B4');
    EXPECT_EQ(type(VkShift, typed, {VkShift}), 0);  // Shift leaves the dead key waiting
    EXPECT_EQ(type('E', typed, {VkShift}), 1);
    EXPECT_EQ(typed[0], U'É');

    EXPECT_EQ(type(circumflex, typed), -1);
    EXPECT_EQ(type(' ', typed), 1);
    EXPECT_EQ(typed[0], U'^');

    EXPECT_EQ(type(circumflex, typed), -1);
    EXPECT_EQ(type('X', typed), 2);
    EXPECT_EQ(typed[0], U'^');
    EXPECT_EQ(typed[1], U'x');

    EXPECT_EQ(type(acute, typed), -1);
    EXPECT_EQ(type(circumflex, typed), 2);
    EXPECT_EQ(typed[0], U'\u00B4');
    EXPECT_EQ(typed[1], U'^');

    // AltGr, which is Ctrl+Alt, reaches the third level.
    EXPECT_EQ(type('Q', typed, {VkControl, VkMenu}), 1);
    EXPECT_EQ(typed[0], U'@');
    EXPECT_EQ(type('E', typed, {VkControl, VkMenu}), 1);
    EXPECT_EQ(typed[0], U'€');

    // In the program's code page a character outside ASCII is its first UTF-8 byte.
    os::KeyStateTable state{};
    os::AsciiBuffer bytes{};
    EXPECT_EQ(keyboard.toAscii(virtualKeyOfScan(0x27), 0x27, state, bytes, 0), 1);
    EXPECT_EQ(bytes[0], 0xC3);  // ö
    EXPECT_EQ(keyboard.toAscii(acute, 0x0D, state, bytes, 0), -1);
    EXPECT_EQ(bytes[0], 0xC2);  // ´
    EXPECT_EQ(keyboard.toAscii(' ', 0x39, state, bytes, 0), 1);
    EXPECT_EQ(bytes[0], 0xC2);
}

TEST_F(X11KeyboardTest, KeyStateIsTheLiveKeyboardUnlessTheThreadTookAnInputMessage) {
    run("xdotool keydown shift");
    EXPECT_LT(keyboard.getKeyState(VkShift), 0);
    EXPECT_LT(keyboard.getKeyState(0xA0), 0);
    EXPECT_EQ(keyboard.getKeyState(0xA1), 0);
    run("xdotool keyup shift key Caps_Lock");
    EXPECT_EQ(keyboard.getKeyState(VkShift), 0);
    EXPECT_EQ(keyboard.getKeyState(0x14), 1);
    run("xdotool key Caps_Lock");
    EXPECT_EQ(keyboard.getKeyState(0x14), 0);

    // A thread handling an input message sees the keys as they were at that event.
    std::thread handler([&] {
        os::KeyStateTable atEvent{};
        atEvent[VkControl] = 0x80;
        atEvent['K'] = 0x81;
        os::x11::ThreadInputState::set(atEvent);
        EXPECT_LT(keyboard.getKeyState(VkControl), 0);
        EXPECT_EQ(keyboard.getKeyState('K') & 0xFFFF, 0xFF81);
        os::KeyStateTable table{};
        EXPECT_TRUE(keyboard.getKeyboardState(table));
        EXPECT_EQ(table, atEvent);
    });
    handler.join();
    EXPECT_EQ(keyboard.getKeyState(VkControl), 0);
}

TEST_F(X11KeyboardTest, FollowsTheGroupTheUserSwitchesTo) {
    run("setxkbmap -layout us,de -option grp:caps_toggle");
    EXPECT_EQ(keyboard.mapVirtualKey('Z', os::mapvk::VkToScanCode), 0x2CU);
    // The Caps Lock key switches the group now. (xdotool would put its group back.)
    os::x11::X11Input input(keyboard);
    const auto pressCapsLock = [&] {
        input.keybdEvent(0x14, 0x3A, 0, 0);
        input.keybdEvent(0x14, 0x3A, os::keyeventf::KeyUp, 0);
        input.flush();
    };
    pressCapsLock();
    EXPECT_TRUE(keys_test::waitFor(
        [&] { return keyboard.mapVirtualKey('Z', os::mapvk::VkToScanCode) == 0x15U; }));
    EXPECT_EQ(nameOf(0x27, false), "Ö");
    pressCapsLock();
    EXPECT_TRUE(keys_test::waitFor(
        [&] { return keyboard.mapVirtualKey('Z', os::mapvk::VkToScanCode) == 0x2CU; }));
    EXPECT_EQ(nameOf(0x27, false), ";");
}

}  // namespace
