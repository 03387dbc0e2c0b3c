#include "os/win32/Win32Graphics.h"

#include <atomic>
#include <thread>
#include <windows.h>

#include <gtest/gtest.h>

namespace os::win32 {
namespace {

constexpr const char* ClassName = "PastrixWin32GraphicsTest";
// The tooltip's pale yellow, a colour the system never paints with on its own.
constexpr std::uint32_t TextBackground = 0x00E7FFFF;
// Ends in a space, so the end of its cell is background only.
constexpr const char* Text = "Paste from [Text] : WWW ";

Win32Graphics* painter = nullptr;
DWORD testThread = 0;
// Paints of windows of the test's thread and of another thread.
std::atomic<int> paints{0};
std::atomic<int> otherPaints{0};
std::atomic<bool> paintFailed{false};

// Paints as the tooltip does, counting paints and any step that failed.
LRESULT CALLBACK paintText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const auto handle = reinterpret_cast<WindowHandle>(window);
    const PaintHandle paint = painter->beginPaint(handle);
    bool done = paint != 0 && painter->selectInterfaceFont(paint);
    painter->setTextBackground(paint, TextBackground);
    done = done && painter->textOut(paint, 0, 0, Text);
    painter->restoreFont(paint);
    if (!painter->endPaint(handle, paint) || !done) {
        paintFailed = true;
    }
    ++(::GetCurrentThreadId() == testThread ? paints : otherPaints);
    return 0;
}

void pump(DWORD milliseconds) {
    const DWORD end = ::GetTickCount() + milliseconds;
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

class Win32GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        painter = &graphics;
        testThread = ::GetCurrentThreadId();
        paints = 0;
        otherPaints = 0;
        paintFailed = false;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &paintText;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = ClassName;
        ::RegisterClassA(&windowClass);
    }
    void TearDown() override { ::UnregisterClassA(ClassName, ::GetModuleHandleA(nullptr)); }

    static HWND makeWindow(int x) {
        return ::CreateWindowExA(WS_EX_TOPMOST, ClassName, "", WS_POPUP, x, 100, 300, 40, nullptr,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }

    Win32Graphics graphics;
};

TEST_F(Win32GraphicsTest, TextIsMeasuredInTheStockVariableFontAndGrowsWithTheText) {
    const HWND window = makeWindow(0);
    ASSERT_NE(window, nullptr);
    Size one;
    Size ten;
    ASSERT_TRUE(graphics.measureText(reinterpret_cast<WindowHandle>(window), "W", one));
    ASSERT_TRUE(graphics.measureText(reinterpret_cast<WindowHandle>(window), "WWWWWWWWWW", ten));
    EXPECT_GT(one.width, 0);
    EXPECT_GT(ten.width, 5 * one.width);
    EXPECT_EQ(ten.height, one.height);
    const HDC context = ::GetDC(window);
    const HGDIOBJ previous = ::SelectObject(context, ::GetStockObject(ANSI_VAR_FONT));
    SIZE expected{};
    ::GetTextExtentPoint32A(context, "WWWWWWWWWW", 10, &expected);
    ::SelectObject(context, previous);
    ::ReleaseDC(window, context);
    EXPECT_EQ(ten.width, expected.cx);
    EXPECT_EQ(ten.height, expected.cy);

    ::DestroyWindow(window);
    Size kept{7, 8};
    EXPECT_FALSE(graphics.measureText(reinterpret_cast<WindowHandle>(window), "W", kept));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(kept.width, 7);
    // Not the whole screen's context.
    EXPECT_FALSE(graphics.measureText(0, "W", kept));
}

TEST_F(Win32GraphicsTest, WindowsOfTwoThreadsPaintTheirTextOnItsBackgroundAtTheSameTime) {
    const HWND window = makeWindow(0);
    ASSERT_NE(window, nullptr);
    std::atomic<bool> repaint{true};
    // A window of its own thread, as the tooltip's is, painting while this thread paints.
    std::thread other([&] {
        const HWND mine = makeWindow(400);
        ::ShowWindow(mine, SW_SHOWNOACTIVATE);
        while (repaint) {
            ::InvalidateRect(mine, nullptr, TRUE);
            pump(5);
        }
        ::DestroyWindow(mine);
    });
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    for (int i = 0; i < 400 && (paints < 30 || otherPaints < 30); ++i) {
        ::InvalidateRect(window, nullptr, TRUE);
        pump(5);
    }
    repaint = false;
    other.join();
    EXPECT_GE(paints.load(), 30);
    EXPECT_GE(otherPaints.load(), 30);
    EXPECT_FALSE(paintFailed);

    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    Size text;
    ASSERT_TRUE(graphics.measureText(reinterpret_cast<WindowHandle>(window), Text, text));
    const HDC context = ::GetDC(window);
    EXPECT_EQ(::GetPixel(context, text.width - 2, text.height / 2), TextBackground);
    EXPECT_EQ(::GetPixel(context, text.width + 10, text.height / 2), RGB(255, 255, 255));
    int ink = 0;
    for (int y = 0; y < text.height; ++y) {
        for (int x = 0; x < text.width; ++x) {
            const COLORREF colour = ::GetPixel(context, x, y);
            ink += GetRValue(colour) < 0x80 && GetGValue(colour) < 0x80 && GetBValue(colour) < 0x80;
        }
    }
    ::ReleaseDC(window, context);
    // The letters in the default black: some dozens of pixels, never the whole cell.
    EXPECT_GT(ink, 24);
    EXPECT_LT(ink, text.width * text.height / 2);
    ::DestroyWindow(window);
}

TEST_F(Win32GraphicsTest, APaintHandleServesOnlyItsOwnWindowAndOnlyUntilItEnds) {
    const HWND window = makeWindow(0);
    const HWND otherWindow = makeWindow(400);
    const auto handle = reinterpret_cast<WindowHandle>(window);
    const PaintHandle paint = graphics.beginPaint(handle);
    ASSERT_NE(paint, 0U);
    EXPECT_TRUE(graphics.selectInterfaceFont(paint));
    EXPECT_FALSE(graphics.endPaint(reinterpret_cast<WindowHandle>(otherWindow), paint));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    // Still open for its own window.
    EXPECT_TRUE(graphics.textOut(paint, 0, 0, "x"));
    EXPECT_TRUE(graphics.endPaint(handle, paint));

    EXPECT_FALSE(graphics.endPaint(handle, paint));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(graphics.selectInterfaceFont(paint));
    EXPECT_FALSE(graphics.textOut(paint, 0, 0, "x"));
    ::SetLastError(ERROR_SUCCESS);
    graphics.setTextBackground(paint, TextBackground);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ::DestroyWindow(otherWindow);
    EXPECT_EQ(graphics.beginPaint(reinterpret_cast<WindowHandle>(otherWindow)), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace os::win32
