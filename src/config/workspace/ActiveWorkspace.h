#pragma once

namespace products::pastrix::config::workspace {

// Whether a workspace is open: slot gestures work only while one is.
class ActiveWorkspace {
public:
    virtual ~ActiveWorkspace() = default;
    virtual bool isLoaded() const = 0;
};

}  // namespace products::pastrix::config::workspace
