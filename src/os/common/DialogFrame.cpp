#include "os/common/DialogFrame.h"

#include "os/ErrorCodes.h"

namespace os::common {

bool DialogFrame::hasMenu() const {
    return (style_ & ws::SysMenu) != 0;
}

bool DialogFrame::insertMenuItem(int position, int command, const std::string& text,
                                 Errors& errors) {
    if (!hasMenu()) {
        errors.setLastError(error::InvalidParameter);
        return false;
    }
    const int count = static_cast<int>(menu_.size());
    if (position < 0 || position > count) {
        position = count;
    }
    menu_.insert(menu_.begin() + position, MenuItem{command, text});
    return true;
}

std::vector<DialogFrame::MenuItem> DialogFrame::menu() const {
    if (!hasMenu()) {
        return {};
    }
    return menu_;
}

}  // namespace os::common
