#pragma once

#include "os/Libraries.h"
#include "os/Types.h"
#include "os/Windows.h"

#include <cstdint>

namespace os {

using HookHandle = std::uintptr_t;

// A hook procedure: sees one event and passes it on with callNextHookEx.
using HookProcedure = std::intptr_t (*)(int code, std::uintptr_t wParam, std::intptr_t lParam);

// Hook types.
namespace wh {
inline constexpr int Keyboard = 2;
inline constexpr int Mouse = 7;
}  // namespace wh

// Codes a hook procedure is called with; a negative code must be passed on untouched.
namespace hc {
inline constexpr int Action = 0;
inline constexpr int NoRemove = 3;
}  // namespace hc

// The mouse messages a mouse hook reports.
namespace wm {
inline constexpr unsigned int NcLButtonDown = 0x00A1;
inline constexpr unsigned int NcLButtonUp = 0x00A2;
inline constexpr unsigned int LButtonDown = 0x0201;
inline constexpr unsigned int LButtonUp = 0x0202;
}  // namespace wm

// What a mouse hook procedure's lParam points to.
struct MouseHookStruct {
    Point point;
    WindowHandle window = 0;
    unsigned hitTestCode = 0;
    std::uintptr_t extraInfo = 0;
};

// Hooks that see the input of the whole desktop. A keyboard procedure gets the virtual key
// as wParam and the key data as lParam: repeat count in bits 0..15, scan code in bits
// 16..23, extended key bit 24, Alt down bit 29, previous key state bit 30, release bit 31. A
// mouse procedure gets the mouse message as wParam and a MouseHookStruct as lParam.
// Failures leave the reason in the last error.
class Hooks {
public:
    virtual ~Hooks() = default;

    // Installs the procedure at the head of the type's chain. Thread 0 means every thread of
    // the desktop, which needs the module that holds the procedure. 0 on failure.
    virtual HookHandle setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                        ThreadId thread) = 0;
    // After it returns, the procedure is neither running nor called again.
    virtual bool unhookWindowsHookEx(HookHandle hook) = 0;
    // Passes the event to the next procedure of the chain; 0 when there is none.
    virtual std::intptr_t callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                         std::intptr_t lParam) = 0;
};

}  // namespace os
