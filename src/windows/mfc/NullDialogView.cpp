#include "windows/mfc/NullDialogView.h"

#include "os/Dialogs.h"

namespace windows::mfc {

NullDialogView& NullDialogView::instance() {
    static NullDialogView view;
    return view;
}

int NullDialogView::messageBox(const std::string&, const std::string&, unsigned style) {
    return (style & os::mb::ButtonsMask) == os::mb::YesNo ? os::id::No : os::id::Ok;
}

}  // namespace windows::mfc
