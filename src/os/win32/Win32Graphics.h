#pragma once

#include "os/Graphics.h"

#include <map>
#include <memory>
#include <mutex>

namespace os::win32 {

// Text in the program's windows with GDI, in the system's stock variable-width font
// (ANSI_VAR_FONT). A paint handle names one BeginPaint..EndPaint of a window and keeps the
// system's paint record and the font the paint had before; windows of different threads paint
// at the same time, so the records are shared under a lock. Failures leave the system's last
// error, or InvalidHandle for a paint handle that is not (or no longer) open.
class Win32Graphics final : public Graphics {
public:
    Win32Graphics();
    ~Win32Graphics() override;
    Win32Graphics(const Win32Graphics&) = delete;
    Win32Graphics& operator=(const Win32Graphics&) = delete;

    bool measureText(WindowHandle window, const std::string& text, Size& size) override;
    PaintHandle beginPaint(WindowHandle window) override;
    bool endPaint(WindowHandle window, PaintHandle paint) override;
    bool selectInterfaceFont(PaintHandle paint) override;
    void restoreFont(PaintHandle paint) override;
    void setTextBackground(PaintHandle paint, std::uint32_t colour) override;
    bool textOut(PaintHandle paint, int x, int y, const std::string& text) override;

private:
    struct Paint;

    // The device context of an open paint, or 0 with the last error set.
    std::uintptr_t contextOf(PaintHandle paint);

    std::mutex mutex_;
    std::map<PaintHandle, std::unique_ptr<Paint>> paints_;
    PaintHandle nextPaint_ = 1;
};

}  // namespace os::win32
