#pragma once

#include <string>

namespace os::x11 {

// What X keysyms stand for, in Unicode terms.

// The character a keysym types: Latin-1 and Unicode keysyms, the legacy keysyms of the other
// scripts, and the function keys that type a control character (BackSpace 8, Tab 9, Return
// 13, Escape 27) or a character of the numeric pad. 0 for none.
char32_t keysymCharacter(unsigned keysym);
// The keysym that types the character: the Latin-1 keysym where there is one, else the
// Unicode keysym.
unsigned characterKeysym(char32_t character);
// The character a dead keysym shows on its own (dead_acute shows U+00B4); 0 when the keysym
// is not a dead key this program composes with.
char32_t deadKeyCharacter(unsigned keysym);
// The character a dead key and the following character make, or 0 when they do not combine.
// A space after a dead key makes the dead key's own character.
char32_t composeDeadKey(unsigned deadKeysym, char32_t next);
// The character in UTF-8.
std::string utf8(char32_t character);

}  // namespace os::x11
