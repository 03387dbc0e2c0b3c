// The hook library on Windows, "clipboard.dll". Its procedures report every key event and every
// release of the left button to the window the program started the hook with.
//
// Low-level hooks. The procedures are written for WH_KEYBOARD_LL and WH_MOUSE_LL, not for
// WH_KEYBOARD and WH_MOUSE:
// - A global WH_KEYBOARD hook is a DLL injected into every process of its own bitness. A 64-bit
//   library misses every 32-bit application (a 32-bit twin library and a 32-bit helper process
//   would be needed), misses processes that refuse injection (elevated, protected, sandboxed),
//   and leaves the library loaded in applications that outlive the program. A low-level hook
//   is called in the thread that installed it, sees the input of the whole desktop whatever
//   the bitness of the application in front, and ends with the program.
// - The cost: the installing thread must pump messages, and a procedure that does not return
//   within the system's low-level hooks timeout delays all input and gets skipped. The program
//   installs the hooks from its UI thread (the settings window's thread), which pumps, and the
//   procedures only post a message and update a table. Like any hook of a non-elevated
//   process, they see no input meant for elevated windows.
// So the program must install these procedures with WH_KEYBOARD_LL (13) and WH_MOUSE_LL (14);
// the low-level event is turned into what a WH_KEYBOARD procedure gets (the generic virtual
// key, the key data of a key message) before it is posted.
//
// The key state while the program handles a posted event. The program reads GetKeyState while
// it handles KeyEventMessage (is Ctrl down, is the left button down). A thread's key state
// changes only as the thread reads input from its own queue; the program's thread is rarely in
// front, and a WH_KEYBOARD procedure posts before the application in front has even read the
// key, so neither hook type by itself makes the program's state follow the desktop. A low-level
// procedure, though, runs in the very thread that owns the program's window, before the system
// applies the event. So it applies the event to that thread's key state itself (the down bit
// of the key, its generic twin for Shift, Ctrl and Alt, and the mouse buttons) and then posts.
// The posted message is read after that, so while it is handled GetKeyState reflects the
// event; were a later event already seen by then, the state is the later one, as it is for the
// application in front. Toggle bits are left to the system. A window of another thread gets
// the messages without this. For the same reason the registered thread (the program's UI
// thread) needs no AttachThreadInput to the application in front: the library only keeps the
// id, which tells a second copy of the program that one runs already.
//
// A gesture's taps. A low-level procedure that returns non-zero without calling the next hook
// keeps the event from every application, so the taps of a slot key with Ctrl held (without
// Alt: AltGr is Ctrl+Alt) or with the left button held are reported and then withheld, and so
// are that key's repeats and its release, even when the trigger was let go first. Which keys
// select a slot the program says (`keyboardSetSlotKeys`); none until it does. Synthesised
// events are never withheld: the program's own Ctrl+C/Ctrl+V and Cool Keys, and the keys of
// on-screen keyboards and automation tools, are meant for the application in front.
//
// Typing during a gesture's copy or paste. The program starts the operation at the trigger's
// release and sends its Ctrl+C or Ctrl+V a little later, once it has kept the user's own
// clipboard; keys typed in between must reach the application after that keystroke. So at
// the trigger release of a gesture whose tap was withheld the procedure starts a hold: every
// key event that is not synthesised is kept, neither reported nor passed on, while the
// program's own keys pass. When the program says the operation is over
// (`keyboardReleaseTyping`), after HoldBound whatever it does, or when the hook ends, the kept
// events are synthesised again in their order, marked so that they count as the user's: the
// program hears of them then, in the order the application gets them (a Ctrl release typed
// meanwhile is not taken for the echo of the program's own), and a next gesture's taps among
// them are withheld like any others.
//
// What every process must agree on (which kinds of hook are set up, their windows and hooks,
// the registered thread) is in a named file mapping in the session's namespace, not in a
// shared data section: a shared section is one for every process that maps the image on the
// machine, so a second user's program (fast user switching, terminal sessions) would find the
// first user's hooks set up, while low-level hooks and the program's windows belong to one
// session's desktop. Like a shared section it goes with the last process that has the library
// loaded, so a crashed program leaves nothing set up behind it. Its fields have the same width
// in 32- and 64-bit builds.

#include "os/Hooks.h"
#include "windows/hook/HookLibrary.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>
#include <windows.h>

#define PASTRIX_HOOK_ENTRY extern "C" __declspec(dllexport)

using windows::hook::KeyEventMessage;
using windows::hook::MouseEventMessage;

namespace {

// One kind of hook as the program set it up.
struct HookRecord {
    std::uint64_t window;
    std::uint64_t hook;
    std::int32_t initiated;
    std::int32_t reserved;
};

struct SharedFacts {
    HookRecord keyboard;
    HookRecord mouse;
    std::int32_t attachThreadInputId;
    std::int32_t reserved;
};

const char* const MappingName = "Local\\Pastrix.clipboard.hooklib";

HANDLE mapping = nullptr;
SharedFacts* shared = nullptr;

void openSharedFacts() {
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(SharedFacts), MappingName);
    if (mapping == nullptr) {
        return;
    }
    // A new mapping starts zeroed: nothing set up, no thread registered.
    shared = static_cast<SharedFacts*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedFacts)));
}

void closeSharedFacts() {
    if (shared != nullptr) {
        UnmapViewOfFile(shared);
        shared = nullptr;
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
        mapping = nullptr;
    }
}

// The facts are read by the procedures and by other processes while the program changes them.
template <typename T>
T load(T& value) {
    return std::atomic_ref<T>(value).load();
}

template <typename T>
void store(T& value, T newValue) {
    std::atomic_ref<T>(value).store(newValue);
}

HookRecord* record(bool keyboard) {
    if (shared == nullptr) {
        return nullptr;
    }
    return keyboard ? &shared->keyboard : &shared->mouse;
}

// The window a kind of hook reports to; null while it is not set up.
HWND reportWindow(bool keyboard) {
    HookRecord* kind = record(keyboard);
    if (kind == nullptr || load(kind->initiated) == 0) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(load(kind->window)));
}

HHOOK hookOf(bool keyboard) {
    HookRecord* kind = record(keyboard);
    return kind != nullptr ? reinterpret_cast<HHOOK>(static_cast<std::uintptr_t>(load(kind->hook)))
                           : nullptr;
}

// Which keys this process has seen down, for the key data's previous-state bit. Only the
// thread that runs the low-level procedures touches it.
std::array<bool, 256> seenDown{};

void seedSeenDown() {
    for (int key = 1; key < 256; ++key) {
        // The generic Shift, Ctrl and Alt are down through their sided keys, whose events
        // will bring them up.
        const bool generic = key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
        seenDown[static_cast<std::size_t>(key)] = !generic && (GetAsyncKeyState(key) & 0x8000) != 0;
    }
}

// The generic virtual keys whose gesture taps are withheld. The program sets them from its own
// thread, which is also the one the procedures run on, but nothing needs that.
std::array<std::atomic<std::uint8_t>, 256> slotKeys{};
// Keys whose press was withheld; their repeats and release follow it.
std::array<bool, 256> withheld{};
// The left button as the mouse procedure saw it.
bool leftButtonDown = false;
// Whether a tap was withheld since the trigger was last released.
bool tapWithheld = false;

// The hold of the user's typing while a gesture's operation runs. Only the procedures' thread
// (the program's UI thread, which also calls the entries) touches it.
struct Hold {
    bool active = false;
    UINT_PTR timer = 0;
    std::vector<KBDLLHOOKSTRUCT> kept;
};
Hold hold;
// Longer than a copy waits for the application (1.5 s); a loaded machine is slow.
constexpr UINT HoldBoundMs = 5000;
// The extra information of the kept events synthesised again ("PXrp").
constexpr ULONG_PTR ReplayMark = 0x50587270;

// The key a WH_KEYBOARD procedure and the key messages name: Shift, Ctrl and Alt without side.
unsigned genericKey(unsigned key) {
    switch (key) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return key;
    }
}

// The sided twins of a generic key, or none.
std::array<unsigned, 2> sidedKeys(unsigned generic) {
    switch (generic) {
        case VK_SHIFT:
            return {VK_LSHIFT, VK_RSHIFT};
        case VK_CONTROL:
            return {VK_LCONTROL, VK_RCONTROL};
        case VK_MENU:
            return {VK_LMENU, VK_RMENU};
        default:
            return {0, 0};
    }
}

// Makes the calling thread's key state show the key up or down, when the thread owns the
// window the event is reported to (the thread that reads GetKeyState while it handles it).
void applyToThread(HWND window, unsigned key, bool down) {
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        return;
    }
    BYTE state[256];
    if (!GetKeyboardState(state)) {
        return;
    }
    auto setDown = [&state](unsigned which, bool isDown) {
        state[which] = static_cast<BYTE>(isDown ? (state[which] | 0x80) : (state[which] & 0x7F));
    };
    setDown(key, down);
    const unsigned generic = genericKey(key);
    if (generic != key) {
        const std::array<unsigned, 2> sides = sidedKeys(generic);
        setDown(generic, ((state[sides[0]] | state[sides[1]]) & 0x80) != 0);
    }
    SetKeyboardState(state);
}

// The key data of a key message for a low-level key event: repeat count 1, the scan code, the
// extended and Alt flags, the previous state, and the release bit.
std::uint32_t keyData(const KBDLLHOOKSTRUCT& event, bool wasDown) {
    const bool released = (event.flags & LLKHF_UP) != 0;
    std::uint32_t data = 1U | ((event.scanCode & 0xFFU) << 16);
    if ((event.flags & LLKHF_EXTENDED) != 0) {
        data |= 1U << 24;
    }
    if ((event.flags & LLKHF_ALTDOWN) != 0) {
        data |= 1U << 29;
    }
    if (released || wasDown) {
        data |= 1U << 30;
    }
    if (released) {
        data |= 1U << 31;
    }
    return data;
}

// Low-level events name the sided keys, but Wine names the generic key of a synthesised one.
bool isSeenDown(unsigned generic) {
    const std::array<unsigned, 2> sides = sidedKeys(generic);
    return seenDown[generic] || seenDown[sides[0]] || seenDown[sides[1]];
}

// As the program tells a gesture: the left button, or Ctrl without Alt.
bool isGestureHeld() {
    return leftButtonDown || (isSeenDown(VK_CONTROL) && !isSeenDown(VK_MENU));
}

// The user's own input: hardware, or kept during a hold and synthesised again.
bool isUsers(const KBDLLHOOKSTRUCT& event) {
    return (event.flags & LLKHF_INJECTED) == 0 || event.dwExtraInfo == ReplayMark;
}

void endHold();

void CALLBACK onHoldBound(HWND, UINT, UINT_PTR, DWORD) {
    endHold();
}

void startHold() {
    if (hold.active) {
        return;
    }
    hold.active = true;
    hold.kept.clear();
    hold.timer = SetTimer(nullptr, 0, HoldBoundMs, &onHoldBound);
}

// Types the kept events again. Their procedure calls come once this thread reads input again.
void endHold() {
    if (!hold.active) {
        return;
    }
    hold.active = false;
    if (hold.timer != 0) {
        KillTimer(nullptr, hold.timer);
        hold.timer = 0;
    }
    std::vector<INPUT> inputs;
    inputs.reserve(hold.kept.size());
    for (const KBDLLHOOKSTRUCT& event : hold.kept) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(event.vkCode);
        input.ki.wScan = static_cast<WORD>(event.scanCode);
        input.ki.dwFlags = ((event.flags & LLKHF_UP) != 0 ? KEYEVENTF_KEYUP : 0U) |
                           ((event.flags & LLKHF_EXTENDED) != 0 ? KEYEVENTF_EXTENDEDKEY : 0U);
        input.ki.dwExtraInfo = ReplayMark;
        inputs.push_back(input);
    }
    hold.kept.clear();
    if (!inputs.empty()) {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
}

// A trigger went up: a gesture whose tap was withheld keeps the typing that follows.
void onTriggerReleased() {
    if (!isGestureHeld() && tapWithheld) {
        tapWithheld = false;
        startHold();
    }
}

// Whether the event is a gesture's tap (or the repeat or release of one) that the application
// in front must not get. Called before the event is applied to seenDown.
bool withholds(const KBDLLHOOKSTRUCT& event, unsigned key, bool released) {
    if (!isUsers(event)) {
        return false;
    }
    if (released) {
        const bool wasWithheld = withheld[key];
        withheld[key] = false;
        return wasWithheld;
    }
    if (withheld[key]) {
        return true;
    }
    const unsigned generic = genericKey(key);
    // The triggers are never taps, and a pressed Alt ends the Ctrl gesture.
    if (generic == VK_CONTROL || generic == VK_MENU || !isGestureHeld() ||
        slotKeys[generic].load() == 0) {
        return false;
    }
    withheld[key] = true;
    tapWithheld = true;
    return true;
}

// Reports the event; true when the application in front must not get it.
bool onKey(const KBDLLHOOKSTRUCT& event) {
    if (hold.active && isUsers(event)) {
        hold.kept.push_back(event);
        return true;
    }
    const unsigned key = event.vkCode & 0xFFU;
    const bool released = (event.flags & LLKHF_UP) != 0;
    const bool withhold = reportWindow(true) != nullptr && withholds(event, key, released);
    const std::uint32_t data = keyData(event, seenDown[key]);
    seenDown[key] = !released;
    if (HWND window = reportWindow(true)) {
        applyToThread(window, key, !released);
        PostMessageA(window, KeyEventMessage, genericKey(key),
                     static_cast<LPARAM>(static_cast<std::uint64_t>(data)));
        if (released && genericKey(key) == VK_CONTROL && isUsers(event)) {
            onTriggerReleased();
        }
    }
    return withhold;
}

// The virtual key of a mouse button message, or 0.
unsigned buttonKey(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
            return VK_LBUTTON;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
            return VK_RBUTTON;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP:
            return VK_MBUTTON;
        default:
            return 0;
    }
}

bool isButtonDown(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            return true;
        default:
            return false;
    }
}

void onMouse(WPARAM message) {
    if (message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN) {
        leftButtonDown = true;
    } else if (message == WM_LBUTTONUP || message == WM_NCLBUTTONUP) {
        leftButtonDown = false;
        if (reportWindow(true) != nullptr) {
            onTriggerReleased();
        }
    }
    HWND window = reportWindow(false);
    if (window == nullptr) {
        return;
    }
    if (const unsigned key = buttonKey(message)) {
        applyToThread(window, key, isButtonDown(message));
    }
    if (message == WM_LBUTTONUP || message == WM_NCLBUTTONUP) {
        PostMessageA(window, MouseEventMessage, 0, 0);
    }
}

std::int32_t initialize(bool keyboard, os::WindowHandle window, std::uintptr_t hook) {
    HookRecord* kind = record(keyboard);
    if (kind == nullptr) {
        return 0;
    }
    if (keyboard) {
        seedSeenDown();
        withheld.fill(false);
        tapWithheld = false;
    } else {
        leftButtonDown = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    }
    store(kind->window, static_cast<std::uint64_t>(window));
    store(kind->hook, static_cast<std::uint64_t>(hook));
    store(kind->initiated, std::int32_t{1});
    return 1;
}

void deinitialize(bool keyboard) {
    if (keyboard) {
        endHold();  // nothing typed is lost when the hook ends
    }
    if (HookRecord* kind = record(keyboard)) {
        store(kind->initiated, std::int32_t{0});
        store(kind->window, std::uint64_t{0});
        store(kind->hook, std::uint64_t{0});
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        openSharedFacts();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary; at process exit the system drops the view itself.
        closeSharedFacts();
    }
    return TRUE;
}

PASTRIX_HOOK_ENTRY std::int32_t keyboardIsInitiated() {
    HookRecord* kind = record(true);
    return kind != nullptr && load(kind->initiated) != 0 ? 1 : 0;
}

PASTRIX_HOOK_ENTRY std::int32_t mouseIsInitiated() {
    HookRecord* kind = record(false);
    return kind != nullptr && load(kind->initiated) != 0 ? 1 : 0;
}

PASTRIX_HOOK_ENTRY std::int32_t keyboardInitializer(os::WindowHandle window, std::uintptr_t hook) {
    return initialize(true, window, hook);
}

PASTRIX_HOOK_ENTRY std::int32_t mouseInitializer(os::WindowHandle window, std::uintptr_t hook) {
    return initialize(false, window, hook);
}

PASTRIX_HOOK_ENTRY void keyboardDeinitializer() {
    deinitialize(true);
}

PASTRIX_HOOK_ENTRY void mouseDeinitializer() {
    deinitialize(false);
}

// A WH_KEYBOARD_LL procedure.
PASTRIX_HOOK_ENTRY LRESULT CALLBACK keyboardProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam != 0 &&
        onKey(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam))) {
        return 1;
    }
    return CallNextHookEx(hookOf(true), code, wParam, lParam);
}

// A WH_MOUSE_LL procedure; wParam is the mouse message.
PASTRIX_HOOK_ENTRY LRESULT CALLBACK mouseProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        onMouse(wParam);
    }
    return CallNextHookEx(hookOf(false), code, wParam, lParam);
}

PASTRIX_HOOK_ENTRY void keyboardSetSlotKeys(const std::uint8_t* keys) {
    for (std::size_t key = 0; key < slotKeys.size(); ++key) {
        slotKeys[key].store(keys != nullptr && keys[key] != 0 ? 1 : 0);
    }
}

// The program's copy or paste after a gesture is over (or none runs): what was typed
// meanwhile goes to the application now.
PASTRIX_HOOK_ENTRY void keyboardReleaseTyping() {
    endHold();
}

PASTRIX_HOOK_ENTRY std::int32_t getAttachThreadInputId() {
    return shared != nullptr ? load(shared->attachThreadInputId) : 0;
}

PASTRIX_HOOK_ENTRY void setAttachThreadInputId(std::int32_t threadId) {
    if (shared != nullptr) {
        store(shared->attachThreadInputId, threadId);
    }
}

#if defined(_WIN64)
// The entries keep the types the program calls them with (the calling conventions differ only
// in 32-bit builds).
[[maybe_unused]] constexpr windows::hook::IsInitiatedFunction isInitiatedType =
    &keyboardIsInitiated;
[[maybe_unused]] constexpr windows::hook::InitializerFunction initializerType =
    &keyboardInitializer;
[[maybe_unused]] constexpr windows::hook::DeinitializerFunction deinitializerType =
    &keyboardDeinitializer;
[[maybe_unused]] constexpr windows::hook::ProcedureFunction procedureType = &keyboardProcedure;
[[maybe_unused]] constexpr windows::hook::GetAttachThreadInputIdFunction getterType =
    &getAttachThreadInputId;
[[maybe_unused]] constexpr windows::hook::SetAttachThreadInputIdFunction setterType =
    &setAttachThreadInputId;
[[maybe_unused]] constexpr windows::hook::SetSlotKeysFunction setSlotKeysType =
    &keyboardSetSlotKeys;
[[maybe_unused]] constexpr windows::hook::ReleaseTypingFunction releaseTypingType =
    &keyboardReleaseTyping;
#endif
