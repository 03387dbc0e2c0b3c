#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>
#include <windows.h>

namespace pastrix::tests::hooklib {

// A message-only window of the calling thread that collects what the hook library posts to
// it, with the thread's key state as the program would read it while handling each message.
class EventWindow {
public:
    struct Event {
        unsigned message;
        std::uintptr_t virtualKey;
        std::uint32_t keyData;
        // GetKeyState's down bit, read while the message was handled.
        bool keyDown;
        bool controlDown;
        bool leftButtonDown;
    };

    EventWindow();
    ~EventWindow();
    EventWindow(const EventWindow&) = delete;
    EventWindow& operator=(const EventWindow&) = delete;

    HWND handle() const { return window; }
    // Pumps the thread's messages (which also runs its low-level hook procedures) until count
    // events have come, or for the whole time with count 0; returns what came.
    std::vector<Event> collect(std::size_t count, std::chrono::milliseconds within);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window;
    std::vector<Event> events;
};

}  // namespace pastrix::tests::hooklib
