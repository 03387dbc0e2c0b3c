#pragma once

#include "windows/window/WindowXImpl.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace windows::window {

// A pop-up with one line of text on a pale yellow ground that never takes the focus. Its
// window belongs to the thread that made it, while other threads change its text and place;
// the text is guarded for that. One tooltip per process paints: the one set as the instance.
class ToolTip : public WindowXImpl {
public:
    static constexpr std::uint32_t BackgroundColour = 0xE7FFFF;
    static constexpr unsigned Style = 0xC0800000U;  // pop-up, child (owned) and border

    ToolTip(const std::string& windowClassName, os::WindowHandle parent);
    ~ToolTip() override;

    void hide();
    // Shows the text with its top-left corner at (x, y), sized to fit, above other windows;
    // moved (and at most as large as the monitor) so that it stays on the monitor of (x, y).
    void showText(const std::string& newText, int x, int y);
    std::string getText() const;

    static void setInstance(ToolTip* tooltip);
    static ToolTip* getInstance();

    static std::intptr_t windowProcedure(os::WindowHandle windowHandle, unsigned int message,
                                         std::uintptr_t wParam, std::intptr_t lParam);

    // The place and size that keep the window inside the monitor.
    static os::Rect keptInside(const os::Rect& wanted, const os::Rect& monitor);

private:
    static os::WindowClass description(const std::string& windowClassName);
    static void paint(os::WindowHandle windowHandle);

    mutable std::mutex textMutex;
    std::string text;

    static std::atomic<ToolTip*> _instance;
};

}  // namespace windows::window
