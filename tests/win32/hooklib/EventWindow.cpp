#include "EventWindow.h"

#include "windows/hook/HookLibrary.h"

namespace pastrix::tests::hooklib {

namespace {

const char* const ClassName = "PastrixHookLibraryTestWindow";

bool isDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

EventWindow::EventWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &EventWindow::procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventWindow::~EventWindow() {
    DestroyWindow(window);
}

LRESULT CALLBACK EventWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == windows::hook::KeyEventMessage || message == windows::hook::MouseEventMessage) {
        auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        const int key = message == windows::hook::KeyEventMessage ? static_cast<int>(wParam) : 0;
        self->events.push_back(
            Event{message, wParam, static_cast<std::uint32_t>(static_cast<std::uint64_t>(lParam)),
                  key != 0 && isDown(key), isDown(VK_CONTROL), isDown(VK_LBUTTON)});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<EventWindow::Event> EventWindow::collect(std::size_t count,
                                                     std::chrono::milliseconds within) {
    events.clear();
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (count == 0 || events.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return events;
}

}  // namespace pastrix::tests::hooklib
