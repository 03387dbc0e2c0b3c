#pragma once

#include "config/clipboard/Executer.h"

namespace products::pastrix::config::clipboard {

// Steps a slot gesture: each press of the same key moves paste, copy, cancel, paste...; a
// different key re-targets the gesture; the release of the trigger starts the operation,
// and the trigger release that follows it (normally the echo of the program's own Ctrl
// release) finishes it.
class StateMachine {
public:
    // The values are shared with the tooltip, which takes 1 and 3 as its kind.
    enum State : int {
        Idle = 0,
        CopySelected = 1,
        CopyRunning = 2,
        PasteSelected = 3,
        PasteRunning = 4,
    };

    explicit StateMachine(Executer& executer);
    virtual ~StateMachine();
    StateMachine(const StateMachine&) = delete;
    StateMachine& operator=(const StateMachine&) = delete;

    // A slot key went down while the gesture is held.
    int keyPressed(int k);
    // The trigger went up while no operation runs.
    int triggerReleased();
    // The trigger went up while an operation runs.
    int operationDone();

    int getState() const { return state; }
    int getKey() const { return key; }

private:
    int state = Idle;
    int key = 0;
    Executer& executer;
};

}  // namespace products::pastrix::config::clipboard
