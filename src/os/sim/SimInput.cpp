#include "os/sim/SimInput.h"

#include "os/Keyboard.h"

namespace os::sim {

SimInput::SimInput(SimKeyboard& keyboard, SimWindows& windows)
    : keyboard_(keyboard), windows_(windows) {}

void SimInput::keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                          std::uintptr_t extraInfo) {
    Pending pending;
    pending.key.virtualKey = virtualKey;
    pending.key.scanCode = scanCode;
    pending.key.extended = (flags & keyeventf::ExtendedKey) != 0;
    pending.key.released = (flags & keyeventf::KeyUp) != 0;
    pending.key.injected = true;
    pending.key.extraInfo = extraInfo;
    enqueue(pending);
}

void SimInput::userKey(int virtualKey, bool pressed) {
    Pending pending;
    pending.key.virtualKey = virtualKey;
    // The keyboard sends the scan code its layout gives the key.
    pending.key.scanCode =
        keyboard_.mapVirtualKey(static_cast<unsigned>(virtualKey), mapvk::VkToScanCode);
    pending.key.released = !pressed;
    enqueue(pending);
}

void SimInput::userLeftButton(bool pressed) {
    Pending pending;
    pending.isKey = false;
    pending.buttonPressed = pressed;
    enqueue(pending);
}

void SimInput::enqueue(const Pending& pending) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(pending);
        if (delivering_) {
            return;  // the delivery under way takes it in turn
        }
        delivering_ = true;
    }
    while (true) {
        Pending next;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                delivering_ = false;
                return;
            }
            next = queue_.front();
            queue_.pop_front();
        }
        deliver(next);
    }
}

void SimInput::deliver(const Pending& pending) {
    if (!pending.isKey) {
        keyboard_.setKeyDown(vk::LButton, pending.buttonPressed);
        std::vector<ButtonWatcher> watchers;
        {
            std::lock_guard lock(mutex_);
            for (const auto& [id, watcher] : buttonWatchers_) {
                watchers.push_back(watcher);
            }
        }
        for (const ButtonWatcher& watcher : watchers) {
            watcher(pending.buttonPressed);
        }
        return;
    }
    const InputEvent& event = pending.key;
    keyboard_.setKeyDown(event.virtualKey, !event.released);
    std::vector<KeyWatcher> watchers;
    SimApplication* application = nullptr;
    {
        std::lock_guard lock(mutex_);
        history_.push_back(event);
        for (const auto& [id, watcher] : keyWatchers_) {
            watchers.push_back(watcher);
        }
        const auto found = applications_.find(windows_.getForegroundWindow());
        if (found != applications_.end()) {
            application = found->second;
        }
    }
    for (const KeyWatcher& watcher : watchers) {
        watcher(event);
    }
    if (application != nullptr) {
        application->onKey(event);
    }
}

int SimInput::watchKeys(KeyWatcher watcher) {
    std::lock_guard lock(mutex_);
    const int id = nextWatcher_++;
    keyWatchers_.emplace(id, std::move(watcher));
    return id;
}

int SimInput::watchLeftButton(ButtonWatcher watcher) {
    std::lock_guard lock(mutex_);
    const int id = nextWatcher_++;
    buttonWatchers_.emplace(id, std::move(watcher));
    return id;
}

void SimInput::unwatch(int watcher) {
    std::lock_guard lock(mutex_);
    keyWatchers_.erase(watcher);
    buttonWatchers_.erase(watcher);
}

void SimInput::attachApplication(WindowHandle window, SimApplication* application) {
    std::lock_guard lock(mutex_);
    applications_[window] = application;
}

void SimInput::detachApplication(WindowHandle window) {
    std::lock_guard lock(mutex_);
    applications_.erase(window);
}

std::vector<InputEvent> SimInput::history() const {
    std::lock_guard lock(mutex_);
    return history_;
}

}  // namespace os::sim
