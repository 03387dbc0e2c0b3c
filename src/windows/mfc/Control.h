#pragma once

#include "os/DialogView.h"

namespace windows::mfc {

// A control object of a dialog: it keeps the control's model in the program and shows it
// through the dialog's view while the dialog's window exists.
class Control {
public:
    explicit Control(int controlId) : id(controlId) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int getControlId() const { return id; }
    bool hasWindow() const { return view != nullptr; }

    // The dialog's new window, or nullptr once it is gone. A new window starts the control
    // afresh, as an empty control of the template.
    virtual void attach(os::DialogView* dialogView) { view = dialogView; }
    // One of the control's own notifications, before the dialog sees it. True when the
    // control has dealt with it completely.
    virtual bool reflect(const os::DialogEvent& /*event*/) { return false; }

protected:
    const int id;
    os::DialogView* view = nullptr;
};

}  // namespace windows::mfc
