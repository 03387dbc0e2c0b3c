#pragma once

#include "os/Windows.h"
#include "windows/window/WindowX.h"

#include <string>

namespace windows::window {

// A window with its own class, created on the constructing thread, to which it then
// belongs. Throws WindowXException when the class cannot be registered or the window
// cannot be created; a failed construction leaves neither behind.
class WindowXImpl : public WindowX {
public:
    WindowXImpl(const os::WindowClass& windowClass, int width, int height, unsigned style,
                unsigned extendedStyle, const std::string& title, os::WindowHandle parent,
                bool registerClass);
    ~WindowXImpl() override;
    WindowXImpl(const WindowXImpl&) = delete;
    WindowXImpl& operator=(const WindowXImpl&) = delete;

    void registerListener(MessageListener* listener) override;
    void unregisterListener() override;
    std::intptr_t pumpMessages() override;
    bool waitMessage(std::chrono::milliseconds timeout) override;
    int getWidth() const override;
    int getHeight() const override;
    os::WindowHandle getHandle() const override;
    bool isVisible() const override;
    void show(bool visible) override;

private:
    void destroy();
    os::Rect rectangle() const;

    os::InstanceHandle instance;
    std::string className;
    os::WindowHandle handle = 0;
    bool classRegistered = false;
};

}  // namespace windows::window
