#pragma once

#include "windows/mfc/Control.h"

namespace windows::mfc {

// An edit box that captures a key: when a key is released in it, it keeps the key's
// virtual-key code and shows the key's name in place of its whole text.
class KeyEdit : public Control {
public:
    explicit KeyEdit(int controlId) : Control(controlId) {}

    void attach(os::DialogView* dialogView) override;
    bool reflect(const os::DialogEvent& event) override;

    // 0 until a key was released in the box.
    int getVirtualKey() const { return virtualKey; }

private:
    int virtualKey = 0;
};

}  // namespace windows::mfc
