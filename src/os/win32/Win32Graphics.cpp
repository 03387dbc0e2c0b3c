#include "os/win32/Win32Graphics.h"

#include <climits>
#include <windows.h>

namespace os::win32 {

struct Win32Graphics::Paint {
    HWND window = nullptr;
    PAINTSTRUCT record{};
    // The font the paint had before the interface font went in; null while none is selected.
    HGDIOBJ previousFont = nullptr;
};

namespace {

HWND toWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

HFONT interfaceFont() {
    return static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
}

// GDI reports many failures without a last error; the caller still learns that one happened.
void keepFailure(DWORD fallback) {
    if (::GetLastError() == ERROR_SUCCESS) {
        ::SetLastError(fallback);
    }
}

// GDI counts characters in an int.
bool fitsCount(const std::string& text) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

Win32Graphics::Win32Graphics() = default;

Win32Graphics::~Win32Graphics() = default;

bool Win32Graphics::measureText(WindowHandle window, const std::string& text, Size& size) {
    // A null window would measure on the whole screen instead of failing.
    if (window == 0 || ::IsWindow(toWindow(window)) == FALSE) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (!fitsCount(text)) {
        return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    const HDC context = ::GetDC(toWindow(window));
    if (context == nullptr) {
        keepFailure(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    const HGDIOBJ previous = ::SelectObject(context, interfaceFont());
    SIZE extent{};
    const BOOL measured =
        ::GetTextExtentPoint32A(context, text.data(), static_cast<int>(text.size()), &extent);
    const DWORD error = ::GetLastError();
    if (previous != nullptr) {
        ::SelectObject(context, previous);
    }
    ::ReleaseDC(toWindow(window), context);
    if (previous == nullptr || measured == FALSE) {
        ::SetLastError(error);
        keepFailure(ERROR_INVALID_HANDLE);
        return false;
    }
    size = Size{extent.cx, extent.cy};
    return true;
}

PaintHandle Win32Graphics::beginPaint(WindowHandle window) {
    if (window == 0) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto paint = std::make_unique<Paint>();
    paint->window = toWindow(window);
    ::SetLastError(ERROR_SUCCESS);
    if (::BeginPaint(paint->window, &paint->record) == nullptr) {
        keepFailure(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::lock_guard lock(mutex_);
    const PaintHandle handle = nextPaint_++;
    paints_[handle] = std::move(paint);
    return handle;
}

bool Win32Graphics::endPaint(WindowHandle window, PaintHandle paint) {
    std::unique_ptr<Paint> ended;
    {
        std::lock_guard lock(mutex_);
        const auto found = paints_.find(paint);
        if (found == paints_.end()) {
            ::SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        // Another window's paint stays open for the window that began it.
        if (found->second->window != toWindow(window)) {
            ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        ended = std::move(found->second);
        paints_.erase(found);
    }
    // The paint's context goes back to the system as it came.
    if (ended->previousFont != nullptr) {
        ::SelectObject(ended->record.hdc, ended->previousFont);
    }
    ::EndPaint(ended->window, &ended->record);
    return true;
}

std::uintptr_t Win32Graphics::contextOf(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found == paints_.end()) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return reinterpret_cast<std::uintptr_t>(found->second->record.hdc);
}

bool Win32Graphics::selectInterfaceFont(PaintHandle paint) {
    const auto context = reinterpret_cast<HDC>(contextOf(paint));
    if (context == nullptr) {
        return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    const HGDIOBJ previous = ::SelectObject(context, interfaceFont());
    if (previous == nullptr) {
        keepFailure(ERROR_INVALID_HANDLE);
        return false;
    }
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    // Selecting twice keeps the font from before the first, so restoring ends where it began.
    if (found != paints_.end() && found->second->previousFont == nullptr) {
        found->second->previousFont = previous;
    }
    return true;
}

void Win32Graphics::restoreFont(PaintHandle paint) {
    HDC context = nullptr;
    HGDIOBJ previous = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto found = paints_.find(paint);
        if (found == paints_.end()) {
            ::SetLastError(ERROR_INVALID_HANDLE);
            return;
        }
        context = found->second->record.hdc;
        previous = found->second->previousFont;
        found->second->previousFont = nullptr;
    }
    if (previous != nullptr) {
        ::SelectObject(context, previous);
    }
}

void Win32Graphics::setTextBackground(PaintHandle paint, std::uint32_t colour) {
    const auto context = reinterpret_cast<HDC>(contextOf(paint));
    if (context == nullptr) {
        return;
    }
    ::SetLastError(ERROR_SUCCESS);
    if (::SetBkColor(context, static_cast<COLORREF>(colour)) == CLR_INVALID) {
        keepFailure(ERROR_INVALID_PARAMETER);
    }
}

bool Win32Graphics::textOut(PaintHandle paint, int x, int y, const std::string& text) {
    const auto context = reinterpret_cast<HDC>(contextOf(paint));
    if (context == nullptr || !fitsCount(text)) {
        return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    if (::TextOutA(context, x, y, text.data(), static_cast<int>(text.size())) == FALSE) {
        keepFailure(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

}  // namespace os::win32
