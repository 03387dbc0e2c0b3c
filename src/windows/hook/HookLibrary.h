#pragma once

#include "os/Keyboard.h"
#include "os/Types.h"

#include <cstdint>

// What the program and the hook library agree on: the library's entry points, and the
// messages its hook procedures post to the window they were initialised with.
namespace windows::hook {

// Posted for every key event seen by the keyboard hook, the program's own synthesised keys
// included: wParam is the virtual key, lParam the key data (bit 31 set on release).
inline constexpr unsigned int KeyEventMessage = 0x8001;
// Posted when the left mouse button is released; wParam and lParam carry nothing.
inline constexpr unsigned int MouseEventMessage = 0x8002;

// The library's file in the program directory; each desktop has its own flavour.
#if defined(_WIN32)
inline constexpr const char* LibraryFileName = "clipboard.dll";
#else
inline constexpr const char* LibraryFileName = "clipboard.so";
#endif

namespace entry {
inline constexpr const char* KeyboardIsInitiated = "keyboardIsInitiated";
inline constexpr const char* MouseIsInitiated = "mouseIsInitiated";
inline constexpr const char* KeyboardInitializer = "keyboardInitializer";
inline constexpr const char* MouseInitializer = "mouseInitializer";
inline constexpr const char* KeyboardDeinitializer = "keyboardDeinitializer";
inline constexpr const char* MouseDeinitializer = "mouseDeinitializer";
inline constexpr const char* KeyboardProcedure = "keyboardProcedure";
inline constexpr const char* MouseProcedure = "mouseProcedure";
inline constexpr const char* GetAttachThreadInputId = "getAttachThreadInputId";
inline constexpr const char* SetAttachThreadInputId = "setAttachThreadInputId";
// Optional: a library that can keep a gesture's key taps from the application in front is told
// which keys select a slot.
inline constexpr const char* KeyboardSetSlotKeys = "keyboardSetSlotKeys";
// Optional: a library that keeps what is typed while a gesture's copy or paste runs is told
// when the operation is over (or none runs), so that the typing reaches the application now.
inline constexpr const char* KeyboardReleaseTyping = "keyboardReleaseTyping";
}  // namespace entry

// Signatures of the entries. Results and thread ids are 32-bit; window and hook handles
// are as wide as the platform's handles.
extern "C" {
// A hook procedure, called by the system with the hook's code, wParam and lParam.
using ProcedureFunction = std::intptr_t (*)(int code, std::uintptr_t wParam, std::intptr_t lParam);
using IsInitiatedFunction = std::int32_t (*)();
using InitializerFunction = std::int32_t (*)(os::WindowHandle window, std::uintptr_t hook);
using DeinitializerFunction = void (*)();
using GetAttachThreadInputIdFunction = std::int32_t (*)();
using SetAttachThreadInputIdFunction = void (*)(std::int32_t threadId);
// 256 flags by virtual key, non-zero for a key that selects a slot; null for none.
using SetSlotKeysFunction = void (*)(const std::uint8_t* slotKeys);
using ReleaseTypingFunction = void (*)();
}

// The parts of the keyboard hook's key data.
namespace keydata {
inline constexpr std::uint32_t ReleaseFlag = os::keydata::Released;
inline constexpr std::uint32_t ExtendedFlag = os::keydata::Extended;

inline constexpr std::uint32_t make(unsigned scanCode, bool extended, bool released) {
    return ((scanCode & 0xFFU) << 16) | (extended ? ExtendedFlag : 0U) |
           (released ? ReleaseFlag : 0U);
}

// A key message's lParam describes a press when, read as a signed 32-bit value, it is not
// negative.
inline constexpr bool isPress(std::intptr_t lParam) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(lParam)) >= 0;
}

inline constexpr unsigned scanCode(std::intptr_t lParam) {
    return (static_cast<std::uint32_t>(lParam) >> 16) & 0xFFU;
}

inline constexpr bool isExtended(std::intptr_t lParam) {
    return (static_cast<std::uint32_t>(lParam) & ExtendedFlag) != 0;
}
}  // namespace keydata

}  // namespace windows::hook
