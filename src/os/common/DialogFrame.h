#pragma once

#include "os/DialogView.h"
#include "os/Errors.h"

#include <string>
#include <vector>

namespace os::common {

// The frame of a dialog's window as the program changes it: its style and the items of its
// system menu, which the window has while the style asks for one.
class DialogFrame {
public:
    struct MenuItem {
        int command = 0;
        std::string text;
    };

    unsigned style() const { return style_; }
    void modifyStyle(unsigned remove, unsigned add) { style_ = (style_ & ~remove) | add; }

    // Inserts before the item at the position, or at the end for a position out of range.
    // Without a system menu it fails with "invalid parameter" as the system's does.
    bool insertMenuItem(int position, int command, const std::string& text, Errors& errors);
    // Empty while the window has no system menu.
    std::vector<MenuItem> menu() const;

private:
    bool hasMenu() const;

    unsigned style_ = 0;
    std::vector<MenuItem> menu_{{0xF010, "&Move"}, {0, ""}, {sc::Close, "&Close"}};
};

}  // namespace os::common
