#pragma once

#include "os/DialogView.h"

#include <string>

namespace windows::mfc {

// Moves values between a dialog's fields and its controls, in one direction per run.
class DataExchange {
public:
    DataExchange(os::DialogView& dialogView, bool saveAndValidate)
        : view(dialogView), saving(saveAndValidate) {}

    // True when the controls are read into the fields.
    bool isSaving() const { return saving; }

    // A check box and an int used as bool (0 or 1).
    void check(int controlId, int& value);
    void check(int controlId, bool& value);
    // An edit box or label and a text.
    void text(int controlId, std::string& value);

private:
    os::DialogView& view;
    bool saving;
};

}  // namespace windows::mfc
