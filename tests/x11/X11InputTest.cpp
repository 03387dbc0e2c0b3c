#include "KeysTestSupport.h"
#include "config/coolkeys/CoolKeyGenerator.h"
#include "os/ScopedInstall.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/X11Input.h"
#include "os/x11/X11Keyboard.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

using keys_test::run;
using keys_test::waitFor;

// The keyboard's whole mapping as the server describes it.
std::string keymap() {
    return run("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null");
}

// Sets the keyboard layout before anything else of the test exists: an editor that is already
// running handles a layout change in its own time, under load only after the first typed keys.
struct StartingLayout {
    explicit StartingLayout(const std::string& layout) { run("setxkbmap " + layout); }
};

class X11InputTest : public ::testing::Test {
protected:
    explicit X11InputTest(const std::string& layout = "us") : startingLayout(layout) {}

    // Types the text as Cool Keys do, one byte at a time through the port.
    void typeText(const std::string& text) {
        os::Port port;
        port.errors = &errors;
        port.keyboard = &keyboard;
        port.input = input.get();
        os::ScopedInstall installed(port);
        products::pastrix::config::coolkeys::CoolKeyGenerator generator(256);
        generator.typeText(text);
        input->flush();
    }

    // Waits for the editor to show the text.
    void expectEditorText(const std::string& expected) {
        std::string shown;
        waitFor([&] { return (shown = editor.text()) == expected; });
        EXPECT_EQ(shown, expected);
    }

    StartingLayout startingLayout;
    os::posix::PosixErrors errors;
    os::x11::X11Keyboard keyboard{errors};
    std::unique_ptr<os::x11::X11Input> input = std::make_unique<os::x11::X11Input>(keyboard);
    keys_test::Editor editor;
};

TEST_F(X11InputTest, TypesTextAndCharactersTheLayoutLacksAndGivesTheKeycodesBack) {
    const std::string keymapBefore = keymap();
    const std::string text =
        "Hello, World! \xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F \xE2\x82\xAC "
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE2\x9C\x93 <>&\"'";
    typeText(text);
    expectEditorText(text);
    EXPECT_TRUE(waitFor([&] { return !input->hasMappedCharacters(); }));
    EXPECT_EQ(keymap(), keymapBefore);
}

TEST_F(X11InputTest, TypesMoreDifferentCharactersThanThereAreSpareKeycodes) {
    std::string text;
    for (char32_t character = U'\u4E00'; character < U'\u4E00' + 60; ++character) {
        text += static_cast<char>(0xE0 | (character >> 12));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
    typeText(text);
    expectEditorText(text);
}

class X11InputGermanTest : public X11InputTest {
protected:
    X11InputGermanTest() : X11InputTest("de") {}
};

TEST_F(X11InputGermanTest, TypesThroughTheGermanLayout) {
    const std::string text = "Zebra yes @ 1+1=2 #\xC3\xB6";
    typeText(text);
    expectEditorText(text);
}

TEST_F(X11InputTest, CharactersByCodeComeOutAsTheyAreWhileTheUserHoldsShift) {
    run("xdotool keydown shift");
    input->typeCharacter(U'\u00E4');
    input->typeCharacter(U'\u00DF');
    input->flush();
    // The user's Shift is down again afterwards.
    EXPECT_LT(keyboard.getKeyState(0x10), 0);
    run("xdotool keyup shift");
    expectEditorText("\xC3\xA4\xC3\x9F");
}

TEST_F(X11InputTest, KeysTheUserStillHoldsAreTypedToo) {
    // The user holds b (the last key of an abbreviation) while the text starts; X would drop a
    // second press of the held key. The user's b typed one itself.
    run("xdotool keydown b");
    typeText("xbxbx");
    // The user's release finds the key up; nothing stays down, and b types again.
    run("xdotool keyup b");
    EXPECT_EQ(keyboard.getKeyState('B') & 0x80, 0);
    typeText("b");
    expectEditorText("bxbxbxb");
}

TEST_F(X11InputTest, BrokenUtf8TypesOnlyTheCompleteCharacters) {
    // A lone continuation byte, a character cut short by a new one, an overlong form.
    typeText(
        "a\x80"
        "b\xC3"
        "\xC3\xA9"
        "\xC0\xAF"
        "c");
    expectEditorText(
        "ab\xC3\xA9"
        "c");
}

TEST_F(X11InputTest, ShutdownGivesTheKeycodesBack) {
    const std::string keymapBefore = keymap();
    input->typeCharacter(U'\u2713');
    input.reset();
    EXPECT_EQ(keymap(), keymapBefore);
    expectEditorText("\xE2\x9C\x93");
}

}  // namespace
