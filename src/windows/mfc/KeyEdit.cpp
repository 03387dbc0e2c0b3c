#include "windows/mfc/KeyEdit.h"

#include "windows/devices/keyboard/KeyHelper.h"

namespace windows::mfc {

void KeyEdit::attach(os::DialogView* dialogView) {
    virtualKey = 0;
    Control::attach(dialogView);
}

bool KeyEdit::reflect(const os::DialogEvent& event) {
    if (event.notification != os::Notification::KeyUp) {
        return false;
    }
    virtualKey = event.value;
    if (view != nullptr) {
        view->setText(id,
                      devices::keyboard::KeyHelper::getKeyName(static_cast<unsigned>(virtualKey)));
    }
    return true;
}

}  // namespace windows::mfc
