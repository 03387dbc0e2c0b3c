#pragma once

#include "config/coolkeys/AbbreviationIndex.h"
#include "config/coolkeys/CKEntry.h"
#include "config/coolkeys/CoolKeyList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace products::pastrix::config::coolkeys {

// Watches the characters the user types and expands Cool Keys: as soon as the characters
// typed since the last expansion contain an entry's abbreviation, the abbreviation is erased
// with Backspaces and the entry's text is typed in its place. When several abbreviations
// occur, the entry that comes first in the list wins.
class CoolKeyGenerator {
public:
    using Entries = CoolKeyList;

    // The typed characters are kept up to twice the limit; then the older half goes.
    explicit CoolKeyGenerator(std::uint32_t limit);
    virtual ~CoolKeyGenerator();
    CoolKeyGenerator(const CoolKeyGenerator&) = delete;
    CoolKeyGenerator& operator=(const CoolKeyGenerator&) = delete;

    // One more typed character (control characters such as Backspace 8 and Enter 13
    // included); expands the first entry of the list whose abbreviation now occurs. Throws
    // CoolKeysException when the text has a character the keyboard layout cannot type.
    virtual void addCharacter(const Entries& entries, char character);

    // Types the text with synthesised key events, Shift, Ctrl and Alt as each character
    // needs them. A line break is one Enter, whether stored as CR LF, CR or LF. Throws
    // CoolKeysException at the first character the keyboard layout has no key for; the ones before
    // it stay typed.
    void typeText(const std::string& text) const;

    const std::string& getTypedText() const { return typedText; }
    std::uint32_t getBufferLimit() const { return bufferLimit; }

private:
    void expand(const CKEntry& entry);

    std::string typedText;
    std::uint32_t bufferLimit;
    // The abbreviations of the entries last seen. While the list stays the same, the typed
    // characters hold none of them (an occurrence is expanded at once, which empties them),
    // so a new occurrence can only end at the character just added.
    AbbreviationIndex index;
    // Where the index stands after the typed characters.
    AbbreviationIndex::State state = AbbreviationIndex::Start;
    bool holdsNoAbbreviation = false;
};

}  // namespace products::pastrix::config::coolkeys
