#include "KeysTestSupport.h"
#include "os/posix/ConsoleKeyboard.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/X11Keyboard.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Under the United States layout the X11 keyboard speaks as the built-in United States table
// does, which is the one the rest of the program is tested with.
TEST(X11UsLayoutAgreementTest, ScanCodesNamesAndCharactersAgreeWithTheUsTable) {
    keys_test::run("setxkbmap us");
    os::posix::PosixErrors errors;
    os::x11::X11Keyboard keyboard(errors);
    os::posix::ConsoleKeyboard us;
    const auto name = [](const os::Keyboard& layout, std::uint32_t keyData) {
        std::string text;
        layout.getKeyNameText(keyData, text, 255);
        return text;
    };
    for (unsigned key = 1; key <= 254; ++key) {
        // Where they differ for good: X knows the scan codes of the browser and media keys;
        // its US layout puts < and > on the 102nd key, the table a backslash.
        if ((key >= 0xA6 && key <= 0xB7) || key == 0xE2) {
            continue;
        }
        SCOPED_TRACE(key);
        const unsigned scan = us.mapVirtualKey(key, os::mapvk::VkToScanCode);
        EXPECT_EQ(keyboard.mapVirtualKey(key, os::mapvk::VkToScanCode), scan);
        for (const std::uint32_t extended : {0U, 0x01000000U}) {
            if (scan == 0x56) {
                continue;
            }
            const std::uint32_t keyData = scan << 16 | extended;
            EXPECT_EQ(name(keyboard, keyData), name(us, keyData)) << "scan " << scan;
        }
        EXPECT_EQ(keyboard.mapVirtualKey(scan, os::mapvk::ScanCodeToVk),
                  us.mapVirtualKey(scan, os::mapvk::ScanCodeToVk))
            << "scan " << scan;
        EXPECT_EQ(keyboard.vkKeyScan(static_cast<char>(key & 0x7F)),
                  us.vkKeyScan(static_cast<char>(key & 0x7F)))
            << "character " << (key & 0x7F);
        os::KeyStateTable state{};
        for (const unsigned modifiers : {0x00U, 0x10U}) {
            if (key == 0x6E && modifiers != 0) {
                continue;  // Shift on the pad makes Delete of the decimal point
            }
            state[0x10] = static_cast<std::uint8_t>(modifiers != 0 ? 0x80 : 0);
            os::AsciiBuffer x11Characters{};
            os::AsciiBuffer usCharacters{};
            EXPECT_EQ(keyboard.toAscii(key, scan, state, x11Characters, 0),
                      us.toAscii(key, scan, state, usCharacters, 0));
            EXPECT_EQ(x11Characters[0], usCharacters[0]);
        }
    }
}

}  // namespace
