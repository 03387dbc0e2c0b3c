#include "config/workspace/KeyClipboard.h"

#include "windows/devices/keyboard/KeyHelper.h"

namespace products::pastrix::config::workspace {

KeyClipboard::KeyClipboard(unsigned key, io::file::FileReader& fileReader,
                           io::file::FileWriter& fileWriter)
    : PersistantClipboard(fileReader, fileWriter, "Pastrix"),
      keyName(windows::devices::keyboard::KeyHelper::getKeyName(key)),
      virtualKey(key) {}

}  // namespace products::pastrix::config::workspace
