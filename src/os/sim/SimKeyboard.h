#pragma once

#include "os/posix/UsLayoutKeyboard.h"

#include <array>
#include <mutex>

namespace os::sim {

// The simulated desktop's key-state table. Left/right keys keep their generic key in step,
// as the real system does: pressing the right Ctrl key also makes Ctrl down. The layout is
// the United States one; a test may add dead keys to stand for another layout.
class SimKeyboard final : public posix::UsLayoutKeyboard {
public:
    short getKeyState(int virtualKey) const override;
    bool getKeyboardState(KeyStateTable& keyState) const override;
    using UsLayoutKeyboard::addDeadKey;

    void setKeyDown(int virtualKey, bool down);
    bool isKeyDown(int virtualKey) const;
    // Releases every key and mouse button.
    void releaseAll();

private:
    void updateGeneric(int genericKey, int leftKey, int rightKey);

    mutable std::mutex mutex_;
    std::array<bool, 256> down_{};
    std::array<bool, 256> toggled_{};
};

}  // namespace os::sim
