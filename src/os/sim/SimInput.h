#pragma once

#include "os/Input.h"
#include "os/Types.h"
#include "os/sim/SimKeyboard.h"
#include "os/sim/SimWindows.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace os::sim {

// One event of the simulated input stream.
struct InputEvent {
    int virtualKey = 0;
    unsigned scanCode = 0;
    bool extended = false;
    bool released = false;
    // Made by a program (keybdEvent) rather than by the user.
    bool injected = false;
    std::uintptr_t extraInfo = 0;
};

// An application of the simulated desktop that receives the input while its window is in
// front.
class SimApplication {
public:
    virtual ~SimApplication() = default;
    virtual void onKey(const InputEvent& event) = 0;
};

// The desktop's input stream. Every event, the user's and the synthesised alike, updates the
// key-state table, passes the keyboard watchers (the hooks) and reaches the application whose
// window is in front, one event at a time and in the order made: an event made while another
// is being delivered waits for it.
class SimInput final : public Input {
public:
    using KeyWatcher = std::function<void(const InputEvent&)>;
    using ButtonWatcher = std::function<void(bool pressed)>;

    SimInput(SimKeyboard& keyboard, SimWindows& windows);

    void keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                    std::uintptr_t extraInfo) override;

    // What the user does.
    void userKey(int virtualKey, bool pressed);
    void userLeftButton(bool pressed);

    // Watchers see every event; the returned number takes the watcher out again.
    int watchKeys(KeyWatcher watcher);
    int watchLeftButton(ButtonWatcher watcher);
    void unwatch(int watcher);

    void attachApplication(WindowHandle window, SimApplication* application);
    void detachApplication(WindowHandle window);

    // Every key event made so far, in order.
    std::vector<InputEvent> history() const;

private:
    struct Pending {
        bool isKey = true;
        InputEvent key;
        bool buttonPressed = false;
    };

    void enqueue(const Pending& pending);
    void deliver(const Pending& pending);

    SimKeyboard& keyboard_;
    SimWindows& windows_;
    mutable std::mutex mutex_;
    std::deque<Pending> queue_;
    bool delivering_ = false;
    int nextWatcher_ = 1;
    std::map<int, KeyWatcher> keyWatchers_;
    std::map<int, ButtonWatcher> buttonWatchers_;
    std::map<WindowHandle, SimApplication*> applications_;
    std::vector<InputEvent> history_;
};

}  // namespace os::sim
