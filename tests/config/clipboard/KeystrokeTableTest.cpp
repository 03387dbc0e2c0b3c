#include "config/clipboard/KeystrokeTable.h"

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::KeystrokeTable;
using Action = KeystrokeTable::Action;

std::string copyOf(const KeystrokeTable& table, const std::string& windowClass) {
    return KeystrokeTable::describe(table.lookUp(windowClass, Action::Copy));
}

std::string pasteOf(const KeystrokeTable& table, const std::string& windowClass) {
    return KeystrokeTable::describe(table.lookUp(windowClass, Action::Paste));
}

TEST(KeystrokeTableTest, ShippedEntriesKeepCtrlCAwayFromTerminals) {
    const KeystrokeTable table;
    EXPECT_EQ(copyOf(table, "l3afpad"), "Ctrl+C");
    EXPECT_EQ(pasteOf(table, "Chromium"), "Ctrl+V");
    EXPECT_EQ(copyOf(table, ""), "Ctrl+C");
    EXPECT_EQ(copyOf(table, "XTerm"), "none primary");
    EXPECT_EQ(pasteOf(table, "xterm"), "Shift+Insert primary");
    for (const char* terminal : {"Gnome-terminal", "konsole", "Xfce4-terminal", "Alacritty",
                                 "kitty", "URxvt", "Mate-terminal", "Tilix"}) {
        EXPECT_NE(copyOf(table, terminal), "Ctrl+C") << terminal;
        EXPECT_NE(pasteOf(table, terminal), "Ctrl+V") << terminal;
    }
    EXPECT_EQ(copyOf(table, "ALACRITTY"), "Ctrl+Shift+C");
    EXPECT_EQ(pasteOf(table, "kitty"), "Ctrl+Shift+V");
}

TEST(KeystrokeTableTest, UserLinesAddClassesAndReplaceShippedOnes) {
    KeystrokeTable table;
    const std::string problems = table.addLines(
        "# class  action  keystroke\n"
        "\n"
        "   MyTerm   copy   ctrl+alt+c\n"
        "MyTerm\tPASTE\tShift+Ins primary\n"
        "XTerm paste Ctrl+Shift+V\n"
        "Emacs copy Alt+W\n",
        "keystrokes.txt");
    EXPECT_EQ(problems, "");
    EXPECT_EQ(copyOf(table, "myterm"), "Ctrl+Alt+C");
    EXPECT_EQ(pasteOf(table, "MyTerm"), "Shift+Insert primary");
    EXPECT_EQ(pasteOf(table, "XTerm"), "Ctrl+Shift+V");
    // The copy of a class whose paste the user changed stays the shipped one.
    EXPECT_EQ(copyOf(table, "XTerm"), "none primary");
    EXPECT_EQ(copyOf(table, "Emacs"), "Alt+W");
    EXPECT_EQ(pasteOf(table, "Emacs"), "Ctrl+V");
}

TEST(KeystrokeTableTest, BadLinesAreToldByNumberAndTheOthersStillCount) {
    KeystrokeTable table;
    const std::string problems = table.addLines(
        "Foo copy\n"                          // 1: too few words
        "Foo cut Ctrl+X\n"                    // 2: no such action
        "Foo copy Hyper+C\n"                  // 3: no such modifier
        "Foo copy Ctrl+Banana\n"              // 4: no such key
        "Foo copy Ctrl+\n"                    // 5: no key
        "Foo copy Ctrl+Ctrl+C\n"              // 6: modifier twice
        "Foo paste Ctrl+V secondary\n"        // 7: no such selection
        "Foo copy none\n"                     // 8: nothing to copy from
        "Foo paste F13\n"                     // fine
        "Foo copy Ctrl+F25 primary extra\n",  // 10: too many words
        "keys");
    EXPECT_EQ(problems,
              "keys, line 1: expected a window class, copy or paste, a keystroke and optionally "
              "primary\n"
              "keys, line 2: \"cut\" is neither copy nor paste\n"
              "keys, line 3: \"Hyper\" is not a modifier (Ctrl, Shift or Alt)\n"
              "keys, line 4: \"Banana\" is not a key name (a letter, a digit, F1 to F24, Insert, "
              "Delete, Home, End, PageUp, PageDown, Enter, Space, Tab, Escape or Backspace)\n"
              "keys, line 5: \"Ctrl+\" is not a keystroke (such as Ctrl+Shift+V, or none)\n"
              "keys, line 6: \"Ctrl\" is named twice\n"
              "keys, line 7: \"secondary\" is not primary\n"
              "keys, line 8: none is only for an application whose selection is primary\n"
              "keys, line 10: expected a window class, copy or paste, a keystroke and optionally "
              "primary\n");
    EXPECT_EQ(pasteOf(table, "Foo"), "F13");
    EXPECT_EQ(copyOf(table, "Foo"), "Ctrl+C");
}

TEST(KeystrokeTableTest, AMissingFileIsNoProblem) {
    KeystrokeTable table;
    EXPECT_EQ(table.addFile("/nonexistent/keystrokes.txt"), "");
    EXPECT_EQ(pasteOf(table, "XTerm"), "Shift+Insert primary");
}

}  // namespace
