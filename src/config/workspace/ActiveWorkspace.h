#pragma once

namespace products::pastrix::config::workspace {

// Whether a workspace is open: slot gestures work only while one is.
class ActiveWorkspace {
public:
    virtual ~ActiveWorkspace() = default;
    virtual bool isLoaded() const = 0;
    // Whether the slot of the virtual key holds something to paste.
    virtual bool isSlotFilled(int /*key*/) const { return isLoaded(); }
};

}  // namespace products::pastrix::config::workspace
