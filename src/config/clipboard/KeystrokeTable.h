#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace products::pastrix::config::clipboard {

// The keystroke that makes an application copy or paste, and the selection it copies to or
// pastes from.
struct Keystroke {
    enum class Selection { Clipboard, Primary };

    // Virtual keys held around `key`, pressed in this order and released in the reverse one.
    std::vector<unsigned> modifiers;
    // 0: the application needs no key (its selection is what it copies).
    unsigned key = 0;
    Selection selection = Selection::Clipboard;

    bool operator==(const Keystroke&) const = default;
};

// Which keystrokes the application in front expects for a copy and a paste, by the class of its
// window: Ctrl+C and Ctrl+V unless its class is listed. The common terminal emulators are listed
// from the start (Ctrl+C interrupts the job running in a terminal); the user's file adds classes
// or replaces the keystrokes of listed ones.
//
// The file holds one entry a line: the window class, "copy" or "paste", the keystroke (modifiers
// and a key joined by "+", such as "Ctrl+Shift+V", or "none"), and optionally "primary" when
// the application pastes from (or copies to) the primary selection instead of the clipboard.
// Words are separated by blanks; letter case does not matter; "#" starts a comment line.
class KeystrokeTable {
public:
    enum class Action { Copy, Paste };

    // The user's file, in the program directory beside the configuration.
    static constexpr const char* FileName = "keystrokes.txt";

    // The shipped entries.
    KeystrokeTable();

    // Adds the entries of the file's text; a bad line is left out and told in the result, one
    // line of text per bad line ("<source>, line <n>: <why>"), the other lines still count.
    std::string addLines(const std::string& text, const std::string& source);
    // Adds the file's entries; a missing file adds nothing and is no problem. The result as for
    // addLines; an unreadable file is told too.
    std::string addFile(const std::string& path);

    const Keystroke& lookUp(const std::string& windowClass, Action action) const;

    // The keystroke in the file's words, "Ctrl+Shift+V" or "none", with " primary" after it
    // when it uses that selection.
    static std::string describe(const Keystroke& keystroke);

private:
    void set(const std::string& windowClass, Action action, Keystroke keystroke);

    std::map<std::pair<std::string, Action>, Keystroke> entries_;  // by lower-case class
    Keystroke copy_;
    Keystroke paste_;
};

}  // namespace products::pastrix::config::clipboard
