#pragma once

class QKeyEvent;

namespace os::qt {

// The virtual-key code of the key a key event is about, as the program names keys on every
// desktop; 0 when the key has none.
int virtualKeyOf(const QKeyEvent& event);
// The same for a key and its modifiers (Qt::Key and Qt::KeyboardModifiers as numbers).
int virtualKeyOf(int qtKey, unsigned modifiers);

}  // namespace os::qt
