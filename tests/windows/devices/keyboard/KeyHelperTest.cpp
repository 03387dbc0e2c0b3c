#include "os/Port.h"
#include "support/SimDesktopTest.h"
#include "windows/devices/keyboard/KeyHelper.h"

#include <gtest/gtest.h>

namespace {

using testing_support::SimDesktopAssertionTest;
namespace KeyHelper = windows::devices::keyboard::KeyHelper;

class KeyHelperTest : public SimDesktopAssertionTest {};

TEST_F(KeyHelperTest, NamesKeysAsTheUnitedStatesLayoutDoes) {
    const struct {
        unsigned virtualKey;
        const char* name;
    } cases[] = {
        {'A', "A"},
        {'7', "7"},
        {13, "Enter"},
        {32, "Space"},
        {19, "Pause"},
        {144, "Num Lock"},  // one scan code, told apart by the flag
        {45, "Insert"},
        {96, "Num 0"},
        {46, "Delete"},
        {110, "Num Del"},
        {33, "Page Up"},
        {111, "Num /"},
        {3, "Break"},
        {91, "Left Windows"},
        {112, "F1"},
        {135, "F24"},
        {160, "Shift"},
        {161, "Right Shift"},
        {186, ";"},
        {222, "'"},
        {166, "Browser Back key"},
        {173, "Volume Mute"},
        {183, "Start Application 2"},
        {1, ""},  // mouse buttons have no name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyHelper::getKeyName(c.virtualKey), c.name) << c.virtualKey;
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(KeyHelperTest, KeysOutsideTheSlotRangeAreReported) {
    EXPECT_EQ(KeyHelper::getKeyName(255), "");
    EXPECT_TRUE(assertions.reported("virtualKey >=1 && virtualKey <= 254"));
}

TEST_F(KeyHelperTest, LayoutTranslatesBetweenKeysScanCodesAndCharacters) {
    const os::Keyboard& keyboard = os::keyboard();
    EXPECT_EQ(keyboard.mapVirtualKey('Q', os::mapvk::VkToScanCode), 0x10u);
    EXPECT_EQ(keyboard.mapVirtualKey(0x2A, os::mapvk::ScanCodeToVk), 0x10u);
    EXPECT_EQ(keyboard.mapVirtualKey(0x36, os::mapvk::ScanCodeToVkEx), 0xA1u);
    EXPECT_EQ(keyboard.mapVirtualKey(0xE01D, os::mapvk::ScanCodeToVkEx), 0xA3u);
    EXPECT_EQ(keyboard.mapVirtualKey(0xBA, os::mapvk::VkToChar), unsigned{';'});
    EXPECT_EQ(keyboard.mapVirtualKey(0x100, os::mapvk::VkToScanCode), 0u);

    std::string name;
    EXPECT_EQ(keyboard.getKeyNameText(0x49u << 16 | os::keydata::Extended, name, 4), 3);
    EXPECT_EQ(name, "Pag");
    EXPECT_EQ(keyboard.getKeyNameText(0x1Du << 16 | os::keydata::Extended | os::keydata::DontCare,
                                      name, 255),
              4);
    EXPECT_EQ(name, "Ctrl");
    EXPECT_EQ(keyboard.getKeyNameText(0x7Fu << 16, name, 255), 0);
}

}  // namespace
