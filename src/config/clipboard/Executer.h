#pragma once

namespace products::pastrix::config::clipboard {

// Carries out the copies and pastes the slot gestures ask for. A start that returns true has
// sent keystrokes to the foreground application, and its finish follows exactly once, with
// the same key, when the echo of the sent Ctrl release comes back.
class Executer {
public:
    virtual ~Executer() = default;

    virtual bool startCopy(int key) = 0;
    virtual bool startPaste(int key) = 0;
    virtual void finishCopy(int key) = 0;
    virtual void finishPaste(int key) = 0;
};

}  // namespace products::pastrix::config::clipboard
