#include "os/win32/Win32DialogProcedures.h"

#include "os/win32/Win32View.h"

namespace os::win32 {

thread_local Win32View* Win32DialogViews::Procedures::sheetBeingMade = nullptr;

Win32View* Win32DialogViews::Procedures::viewOf(HWND window) {
    return reinterpret_cast<Win32View*>(GetWindowLongPtrA(window, DWLP_USER));
}

INT_PTR CALLBACK Win32DialogViews::Procedures::dialog(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* view = reinterpret_cast<Win32View*>(lParam);
        return view->initialise(window) != 0 ? TRUE : FALSE;
    }
    Win32View* view = viewOf(window);
    if (view == nullptr) {
        return FALSE;
    }
    return view->owner_.dialogMessage(*view, window, message, wParam, lParam);
}

INT_PTR CALLBACK Win32DialogViews::Procedures::page(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        return dialog(window, message, wParam, page->lParam);
    }
    return dialog(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32DialogViews::Procedures::sheet(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* view = reinterpret_cast<Win32View*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &Procedures::sheet, id);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    bool handled = false;
    const std::intptr_t result =
        view->owner_.sheetMessage(*view, window, message, wParam, lParam, handled);
    return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32DialogViews::Procedures::edit(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &Procedures::edit, id);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_KEYUP) {
        auto* view = reinterpret_cast<Win32View*>(data);
        DialogEvent keyUp;
        keyUp.notification = Notification::KeyUp;
        keyUp.controlId = GetDlgCtrlID(window);
        keyUp.value = static_cast<int>(wParam);
        view->deliver(keyUp);
    }
    return result;
}

int CALLBACK Win32DialogViews::Procedures::sheetCallback(HWND window, UINT message, LPARAM lParam) {
    if (message == PSCB_PRECREATE && lParam != 0) {
        // Shown only once the program has set it up.
        auto* words = reinterpret_cast<WORD*>(lParam);
        auto* style = reinterpret_cast<DWORD*>(words[1] == 0xFFFF ? words + 6 : words);
        *style &= ~static_cast<DWORD>(WS_VISIBLE);
    } else if (message == PSCB_INITIALIZED && sheetBeingMade != nullptr) {
        sheetBeingMade->window_ = window;
        SetWindowSubclass(window, &Procedures::sheet, 1,
                          reinterpret_cast<DWORD_PTR>(sheetBeingMade));
    }
    return 0;
}

}  // namespace os::win32
