#pragma once

// The simulated desktop's own system calls, exported by the program that runs the desktop,
// for the libraries it loads: what the system's user interface library offers a hook
// library on a real desktop. Each call reaches the desktop that is installed as the
// platform.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
// A Windows program exports only what it marks; the library looks the calls up by name.
#define PASTRIX_SIM_SYSTEM_CALL __declspec(dllexport)
#else
#define PASTRIX_SIM_SYSTEM_CALL
#endif

extern "C" {

// Queues a message for the window's thread; non-zero on success.
PASTRIX_SIM_SYSTEM_CALL int SimPostMessageA(std::uintptr_t window, unsigned int message,
                                            std::uintptr_t wParam, std::intptr_t lParam);

// Passes a hook event on to the next procedure of the hook's chain.
PASTRIX_SIM_SYSTEM_CALL std::intptr_t SimCallNextHookEx(std::uintptr_t hook, int code,
                                                        std::uintptr_t wParam,
                                                        std::intptr_t lParam);

// Memory shared by every copy of a library on the desktop, as a shared data section is on a
// real one: the same bytes for the same name, zero-filled when first asked for and kept as
// long as the desktop runs. nullptr when the name is empty, when a section of that name is
// smaller than asked for, or when no simulated desktop is installed. Objects in it must be
// accessed atomically: hook procedures run on the threads that make the input.
PASTRIX_SIM_SYSTEM_CALL void* SimSharedSection(const char* name, std::size_t size);
}
