#pragma once

#include "os/win32/Win32DialogViews.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace os::win32 {

class Win32View;

// The system's callbacks for the program's dialogs, pages, sheets and watched edits: each
// finds its view and hands the message to the views' owner.
struct Win32DialogViews::Procedures {
    static Win32View* viewOf(HWND window);
    static INT_PTR CALLBACK dialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK page(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK sheet(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK edit(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR data);
    static int CALLBACK sheetCallback(HWND window, UINT message, LPARAM lParam);

    // The sheet being made: the system's callback for it has no context of its own.
    static thread_local Win32View* sheetBeingMade;
};

}  // namespace os::win32
