#include "os/win32/Win32NewsletterPicture.h"

// clang-format off
#include <windows.h>
// clang-format on

namespace os::win32 {

void* Win32NewsletterPicture::draw(void* window) {
    HWND control = static_cast<HWND>(window);
    constexpr int Width = 96;
    constexpr int Height = 64;
    HDC screen = GetDC(control);
    HDC paint = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, Width, Height);
    ReleaseDC(control, screen);
    if (paint == nullptr || bitmap == nullptr) {
        DeleteDC(paint);
        DeleteObject(bitmap);
        return nullptr;
    }
    HGDIOBJ oldBitmap = SelectObject(paint, bitmap);
    RECT all{0, 0, Width, Height};
    FillRect(paint, &all, GetSysColorBrush(COLOR_BTNFACE));
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0x1F, 0x4E, 0x9A));
    HBRUSH paper = CreateSolidBrush(RGB(0xF5, 0xF0, 0xE1));
    HGDIOBJ oldPen = SelectObject(paint, pen);
    HGDIOBJ oldBrush = SelectObject(paint, paper);
    Rectangle(paint, 6, 10, 90, 58);
    MoveToEx(paint, 6, 10, nullptr);
    LineTo(paint, 48, 38);
    LineTo(paint, 90, 10);
    HBRUSH sun = CreateSolidBrush(RGB(0xF2, 0xB6, 0x1B));
    SelectObject(paint, sun);
    SelectObject(paint, GetStockObject(NULL_PEN));
    Ellipse(paint, 71, 5, 89, 23);
    SelectObject(paint, oldPen);
    SelectObject(paint, oldBrush);
    SelectObject(paint, oldBitmap);
    DeleteObject(pen);
    DeleteObject(paper);
    DeleteObject(sun);
    DeleteDC(paint);
    return bitmap;
}

}  // namespace os::win32
