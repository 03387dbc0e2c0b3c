// The hook library on the simulated desktop. Its procedures report every key event and every
// release of the left button to the window the program started the hook with. What must be
// the same for every copy of the library (which hooks are set up, their windows and hooks,
// the registered thread) lives in a section the desktop shares between them, as a shared
// data section does on a real desktop.

#include "os/Hooks.h"
#include "os/sim/SimSystemCalls.h"
#include "windows/hook/HookLibrary.h"

#include <atomic>
#include <cstdint>

#if defined(_WIN32)
// The entries a library exports are listed in its module definition file, which can leave one
// out for the tests of a broken library.
#define PASTRIX_HOOK_ENTRY extern "C"
#include <windows.h>
#else
#define PASTRIX_HOOK_ENTRY extern "C" __attribute__((visibility("default")))
#endif

using windows::hook::DeinitializerFunction;
using windows::hook::GetAttachThreadInputIdFunction;
using windows::hook::InitializerFunction;
using windows::hook::IsInitiatedFunction;
using windows::hook::KeyEventMessage;
using windows::hook::MouseEventMessage;
using windows::hook::ProcedureFunction;
using windows::hook::SetAttachThreadInputIdFunction;

namespace {

#if defined(_WIN32)
// A Windows library cannot leave symbols for the program that loads it to fill in, so the
// desktop's calls are looked up among the program's exports.
template <typename Function>
Function programCall(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA(nullptr), name)));
}

void* sharedSection(const char* name, std::size_t size) {
    static const auto call = programCall<decltype(&SimSharedSection)>("SimSharedSection");
    return call != nullptr ? call(name, size) : nullptr;
}

int postMessage(std::uintptr_t window, unsigned int message, std::uintptr_t wParam,
                std::intptr_t lParam) {
    static const auto call = programCall<decltype(&SimPostMessageA)>("SimPostMessageA");
    return call != nullptr ? call(window, message, wParam, lParam) : 0;
}

std::intptr_t callNextHook(std::uintptr_t hook, int code, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    static const auto call = programCall<decltype(&SimCallNextHookEx)>("SimCallNextHookEx");
    return call != nullptr ? call(hook, code, wParam, lParam) : 0;
}
#else
void* sharedSection(const char* name, std::size_t size) {
    return SimSharedSection(name, size);
}

int postMessage(std::uintptr_t window, unsigned int message, std::uintptr_t wParam,
                std::intptr_t lParam) {
    return SimPostMessageA(window, message, wParam, lParam);
}

std::intptr_t callNextHook(std::uintptr_t hook, int code, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    return SimCallNextHookEx(hook, code, wParam, lParam);
}
#endif

// One kind of hook as the program set it up.
struct HookRecord {
    std::uintptr_t window;
    std::uintptr_t hook;
    std::int32_t initiated;
};

struct SharedFacts {
    HookRecord keyboard;
    HookRecord mouse;
    std::int32_t attachThreadInputId;
};

const char* const SectionName = "clipboard hook library";

SharedFacts* facts() {
    return static_cast<SharedFacts*>(sharedSection(SectionName, sizeof(SharedFacts)));
}

// The facts are read by procedures on the threads that make input while the program's
// thread changes them.
template <typename T>
T load(T& value) {
    return std::atomic_ref<T>(value).load();
}

template <typename T>
void store(T& value, T newValue) {
    std::atomic_ref<T>(value).store(newValue);
}

HookRecord* record(bool keyboard) {
    SharedFacts* shared = facts();
    if (shared == nullptr) {
        return nullptr;
    }
    return keyboard ? &shared->keyboard : &shared->mouse;
}

std::int32_t isInitiated(bool keyboard) {
    HookRecord* hook = record(keyboard);
    return hook != nullptr && load(hook->initiated) != 0 ? 1 : 0;
}

std::int32_t initialize(bool keyboard, os::WindowHandle window, std::uintptr_t hook) {
    HookRecord* kind = record(keyboard);
    if (kind == nullptr) {
        return 0;
    }
    store(kind->window, window);
    store(kind->hook, hook);
    store(kind->initiated, std::int32_t{1});
    return 1;
}

void deinitialize(bool keyboard) {
    if (HookRecord* kind = record(keyboard)) {
        store(kind->initiated, std::int32_t{0});
        store(kind->window, std::uintptr_t{0});
        store(kind->hook, std::uintptr_t{0});
    }
}

// Posts the message to the window the kind of hook was started with, for an event the
// system hands over for action (not one only peeked at).
void notify(bool keyboard, int code, unsigned int message, std::uintptr_t wParam,
            std::intptr_t lParam) {
    HookRecord* kind = record(keyboard);
    if (code != os::hc::Action || kind == nullptr || load(kind->initiated) == 0) {
        return;
    }
    if (const std::uintptr_t window = load(kind->window)) {
        postMessage(window, message, wParam, lParam);
    }
}

// The hook to pass events on with.
std::uintptr_t hookOf(bool keyboard) {
    HookRecord* kind = record(keyboard);
    return kind != nullptr ? load(kind->hook) : 0;
}

}  // namespace

PASTRIX_HOOK_ENTRY std::int32_t keyboardIsInitiated() {
    return isInitiated(true);
}

PASTRIX_HOOK_ENTRY std::int32_t mouseIsInitiated() {
    return isInitiated(false);
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

PASTRIX_HOOK_ENTRY std::intptr_t keyboardProcedure(int code, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
    // The key data is 32 bits wide, whatever the width of lParam.
    const auto keyData = static_cast<std::intptr_t>(static_cast<std::uint32_t>(lParam));
    notify(true, code, KeyEventMessage, wParam, keyData);
    return callNextHook(hookOf(true), code, wParam, lParam);
}

PASTRIX_HOOK_ENTRY std::intptr_t mouseProcedure(int code, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
    if (wParam == os::wm::LButtonUp || wParam == os::wm::NcLButtonUp) {
        notify(false, code, MouseEventMessage, 0, 0);
    }
    return callNextHook(hookOf(false), code, wParam, lParam);
}

PASTRIX_HOOK_ENTRY std::int32_t getAttachThreadInputId() {
    SharedFacts* shared = facts();
    return shared != nullptr ? load(shared->attachThreadInputId) : 0;
}

PASTRIX_HOOK_ENTRY void setAttachThreadInputId(std::int32_t threadId) {
    if (SharedFacts* shared = facts()) {
        store(shared->attachThreadInputId, threadId);
    }
}

// The entries keep the types the program calls them with.
[[maybe_unused]] constexpr IsInitiatedFunction isInitiatedType = &keyboardIsInitiated;
[[maybe_unused]] constexpr InitializerFunction initializerType = &keyboardInitializer;
[[maybe_unused]] constexpr DeinitializerFunction deinitializerType = &keyboardDeinitializer;
[[maybe_unused]] constexpr ProcedureFunction procedureType = &keyboardProcedure;
[[maybe_unused]] constexpr GetAttachThreadInputIdFunction getterType = &getAttachThreadInputId;
[[maybe_unused]] constexpr SetAttachThreadInputIdFunction setterType = &setAttachThreadInputId;
