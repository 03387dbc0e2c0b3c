#include "os/win32/Win32Input.h"

#include "os/win32/Win32Hooks.h"

#include <chrono>
#include <windows.h>

namespace os::win32 {

namespace {

// How long the program waits for its own low-level hook to hear of an event, and for the
// application in front to take one from its queue.
constexpr std::chrono::milliseconds HookBound{200};
constexpr UINT FocusBoundMs = 500;

// The system hands a key event to the application only once every low-level hook answered;
// when this thread holds the program's keyboard hook, that hook runs here, as a message sent
// to this thread, and marks the key in this thread's key state.
void awaitOwnHook(std::uint8_t virtualKey, bool down) {
    if (Win32Hooks::lowLevelKeyboardThread() != GetCurrentThreadId()) {
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + HookBound;
    while (((GetKeyState(virtualKey) & 0x8000) != 0) != down &&
           std::chrono::steady_clock::now() < giveUp) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// What the program does after a key (read the clipboard the application copied to, put the
// user's clipboard back after a paste) must come after the application handled it, but the
// hooks hear of the key before the application takes it. A message sent to the window with
// the keyboard focus is handled when its thread next asks for a message, and each ask returns
// at most one queued message. One round is not enough, for two reasons: in one ask the thread
// answers every message sent while it was answering the one before, and a posted message (the
// character of the key before) comes out ahead of the key. So the rounds are spaced, to give
// the thread time to reach its next ask, and there are three: the last is answered after the
// key was dispatched even with a posted message ahead of it.
constexpr int FocusRounds = 3;
constexpr std::chrono::microseconds FocusGap{500};

void waitOutGap() {
    const auto resume = std::chrono::steady_clock::now() + FocusGap;
    while (std::chrono::steady_clock::now() < resume) {
        SwitchToThread();
    }
}

void awaitFocusThread() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) {
        return;
    }
    const DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
    if (thread == GetCurrentThreadId()) {
        // The key waits for this thread's own loop.
        return;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND focus = GetGUIThreadInfo(thread, &info) != FALSE && info.hwndFocus != nullptr
                     ? info.hwndFocus
                     : foreground;
    for (int round = 0; round < FocusRounds; ++round) {
        if (round > 0) {
            waitOutGap();
        }
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(focus, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, FocusBoundMs, &answer) ==
            0) {
            return;
        }
    }
}

}  // namespace

void Win32Input::keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                            std::uintptr_t extraInfo) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    // Only the flags the port names: the others would change what the event means (a scan
    // code without a key, a Unicode character).
    if ((flags & keyeventf::ExtendedKey) != 0) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if ((flags & keyeventf::KeyUp) != 0) {
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    input.ki.dwExtraInfo = extraInfo;
    // The last error tells why when the system refuses the event.
    if (SendInput(1, &input, sizeof(INPUT)) != 1) {
        return;
    }
    const DWORD error = GetLastError();
    awaitOwnHook(virtualKey, (flags & keyeventf::KeyUp) == 0);
    awaitFocusThread();
    SetLastError(error);
}

}  // namespace os::win32
