#pragma once

namespace products::pastrix::config::clipboard {

// The tooltip that tells, while a gesture is held, what its release will do.
class SlotToolTip {
public:
    virtual ~SlotToolTip() = default;

    // kind is the pending gesture: 1 a copy into slot `key`, 3 a paste from it. atCursor is
    // true while the left mouse button is down.
    virtual void show(int key, int kind, bool atCursor) = 0;
    // Hiding a hidden tooltip changes nothing.
    virtual void hide() = 0;
};

}  // namespace products::pastrix::config::clipboard
