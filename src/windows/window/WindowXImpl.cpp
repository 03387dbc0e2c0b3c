#include "windows/window/WindowXImpl.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/info/SystemInformation.h"
#include "windows/window/MessageMapper.h"
#include "windows/window/WindowExceptions.h"

namespace windows::window {

namespace {

std::string lastErrorText() {
    return platform::errorresources::SystemErrors::map(os::errors().lastError());
}

}  // namespace

WindowXImpl::WindowXImpl(const os::WindowClass& windowClass, int width, int height, unsigned style,
                         unsigned extendedStyle, const std::string& title, os::WindowHandle parent,
                         bool registerClass)
    : instance(windowClass.instance), className(windowClass.className) {
    os::WindowClass description = windowClass;
    if (description.procedure == nullptr) {
        description.procedure = &MessageMapper::routingProcedure;
    }
    if (registerClass && !os::windows().registerClass(description)) {
        throw WindowXException("Error when registering the window class '" + className + "'.\n" +
                               lastErrorText());
    }
    classRegistered = registerClass;

    int x = 0;
    int y = 0;
    if ((style & os::ws::Child) == 0) {
        x = (windows::info::getScreenWidth() - width) / 2;
        y = (windows::info::getScreenHeight() - height) / 2;
    }
    os::WindowCreation creation;
    creation.extendedStyle = extendedStyle;
    creation.className = className;
    creation.title = title;
    creation.style = style;
    creation.x = x;
    creation.y = y;
    creation.width = width;
    creation.height = height;
    creation.parent = parent;
    creation.instance = instance;
    handle = os::windows().createWindow(creation);
    if (handle == 0) {
        const int errorCode = os::errors().lastError();
        destroy();
        os::errors().setLastError(errorCode);
        throw WindowXException("Error when creating a window.\nClassname: '" + className + "'\n" +
                               lastErrorText());
    }
}

WindowXImpl::~WindowXImpl() {
    destroy();
}

void WindowXImpl::destroy() {
    if (handle != 0) {
        os::windows().destroyWindow(handle);
        handle = 0;
    }
    if (classRegistered) {
        os::windows().unregisterClass(className, instance);
        classRegistered = false;
    }
}

void WindowXImpl::registerListener(MessageListener* listener) {
    MessageMapper::instance().add(handle, listener);
}

void WindowXImpl::unregisterListener() {
    MessageMapper::instance().remove(handle);
}

std::intptr_t WindowXImpl::pumpMessages() {
    os::Message message;
    if (!os::windows().peekMessage(message, true)) {
        return 0;
    }
    os::windows().translateMessage(message);
    return os::windows().dispatchMessage(message);
}

bool WindowXImpl::waitMessage(std::chrono::milliseconds timeout) {
    return os::windows().waitMessage(timeout);
}

os::Rect WindowXImpl::rectangle() const {
    os::Rect rect;
    const bool ret = os::windows().getWindowRect(handle, rect);
    PX_ASSERT(ret);
    return ret ? rect : os::Rect{};
}

int WindowXImpl::getWidth() const {
    const os::Rect rect = rectangle();
    return rect.right - rect.left;
}

int WindowXImpl::getHeight() const {
    const os::Rect rect = rectangle();
    return rect.bottom - rect.top;
}

os::WindowHandle WindowXImpl::getHandle() const {
    return handle;
}

bool WindowXImpl::isVisible() const {
    return (os::windows().getWindowStyle(handle) & os::ws::Visible) != 0;
}

void WindowXImpl::show(bool visible) {
    if (visible) {
        os::windows().showWindow(handle, os::sw::ShowNormal);
        os::windows().setForegroundWindow(handle);
    } else {
        os::windows().showWindow(handle, os::sw::Hide);
    }
}

}  // namespace windows::window
