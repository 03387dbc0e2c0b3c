#pragma once

#include "windows/clipboard/PersistantClipboard.h"

#include <string>

namespace products::pastrix::config::workspace {

// A slot: a kept snapshot bound to the key whose virtual-key code is its number.
class KeyClipboard : public windows::clipboard::PersistantClipboard {
public:
    KeyClipboard(unsigned virtualKey, io::file::FileReader& fileReader,
                 io::file::FileWriter& fileWriter);

    const std::string& getKeyName() const { return keyName; }
    unsigned getVirtualKey() const { return virtualKey; }

private:
    std::string keyName;
    unsigned virtualKey;
};

}  // namespace products::pastrix::config::workspace
