#pragma once

#include "os/Keyboard.h"

namespace os::posix {

// The layout queries of a keyboard with the United States layout, for desktops whose
// keyboard is not the system's own (the simulated desktop, command-line programs). Key
// state stays with the concrete keyboard.
class UsLayoutKeyboard : public Keyboard {
public:
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override;
    int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const override;
};

}  // namespace os::posix
