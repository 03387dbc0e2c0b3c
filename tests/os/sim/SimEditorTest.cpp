#include "os/Clipboard.h"
#include "os/Keyboard.h"
#include "os/sim/SimEditor.h"
#include "support/SimDesktopTest.h"

#include <gtest/gtest.h>

namespace {

using os::sim::SimEditor;

class SimEditorTest : public testing_support::SimDesktopTest {
protected:
    void tap(int key) {
        desktop.input.userKey(key, true);
        desktop.input.userKey(key, false);
    }
    void withKey(int modifier, int key) {
        desktop.input.userKey(modifier, true);
        tap(key);
        desktop.input.userKey(modifier, false);
    }

    SimEditor editor{desktop, "notes.txt - Editor"};
};

TEST_F(SimEditorTest, TypesCharactersLineBreaksAndDeletesAsAnEditorDoes) {
    tap('H');
    withKey(os::vk::Shift, 'I');
    withKey(os::vk::Shift, '1');
    tap(os::vk::Return);
    tap(0xBC);
    EXPECT_EQ(editor.text(), "hI!\r\n,");
    tap(os::vk::Back);
    tap(os::vk::Back);  // the line break goes as one
    EXPECT_EQ(editor.text(), "hI!");
    editor.select(0, 2);
    tap('X');
    EXPECT_EQ(editor.text(), "x!");
}

TEST_F(SimEditorTest, TypesWhatTheKeyboardLayoutMakesOfTheKeys) {
    tap(os::vk::Capital);
    tap('A');
    withKey(os::vk::Shift, 'B');
    tap(os::vk::Capital);
    tap(os::vk::Tab);
    tap(os::vk::Escape);
    withKey(os::vk::Control, 'Q');
    desktop.keyboard.addDeadKey(0xDE, 0, '\xB4', {{'e', '\xE9'}});
    tap(0xDE);
    tap('E');
    EXPECT_EQ(editor.text(), "Ab\t\xE9");
}

TEST_F(SimEditorTest, CopiesTheSelectionAsTextAndRichTextAndPastesText) {
    editor.setText("Hello world");
    editor.select(6, 11);
    withKey(os::vk::Control, 'C');
    const auto copied = desktop.clipboard.content();
    ASSERT_EQ(copied.size(), 2U);
    EXPECT_EQ(copied[0].format, os::cf::Text);
    EXPECT_EQ(copied[0].bytes, std::string("world\0", 6));
    EXPECT_EQ(copied[1].format, desktop.clipboard.registerFormat("Rich Text Format"));
    EXPECT_EQ(copied[1].bytes, std::string("{\\rtf1\\ansi world}\0", 19));
    EXPECT_EQ(desktop.clipboard.owner(), editor.window());

    editor.select(0, 0);
    withKey(os::vk::Control, 'V');
    EXPECT_EQ(editor.text(), "worldHello world");

    // Nothing selected: Ctrl+C leaves the clipboard alone.
    desktop.clipboard.setContent({{os::cf::Text, std::string("mine\0", 5)}});
    withKey(os::vk::Control, 'C');
    EXPECT_EQ(desktop.clipboard.content().size(), 1U);
    EXPECT_EQ(desktop.clipboard.content()[0].bytes, std::string("mine\0", 5));
}

}  // namespace
