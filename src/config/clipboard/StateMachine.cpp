#include "config/clipboard/StateMachine.h"

#include "platform/assertion/Assertion.h"

namespace products::pastrix::config::clipboard {

StateMachine::StateMachine(Executer& theExecuter) : executer(theExecuter) {}

StateMachine::~StateMachine() = default;

int StateMachine::keyPressed(int k) {
    switch (state) {
        case Idle:
            state = PasteSelected;
            key = k;
            break;
        case PasteSelected:
            if (k == key) {
                state = CopySelected;
            } else {
                key = k;
            }
            break;
        case CopySelected:
            if (k == key) {
                state = Idle;
            } else {
                key = k;
            }
            break;
        default:
            PX_ASSERT(false);
            break;
    }
    return state;
}

int StateMachine::triggerReleased() {
    switch (state) {
        case Idle:
            break;
        case CopySelected:
            state = executer.startCopy(key) ? CopyRunning : Idle;
            break;
        case PasteSelected:
            state = executer.startPaste(key) ? PasteRunning : Idle;
            break;
        default:
            PX_ASSERT(false);
            break;
    }
    return state;
}

int StateMachine::operationDone() {
    // Idle before the executer runs: the operation is being finished, no longer pending.
    switch (state) {
        case CopyRunning:
            state = Idle;
            executer.finishCopy(key);
            break;
        case PasteRunning:
            state = Idle;
            executer.finishPaste(key);
            break;
        default:
            PX_ASSERT(false);
            break;
    }
    return state;
}

}  // namespace products::pastrix::config::clipboard
