#include "os/qt/QtWindows.h"

#include "os/qt/QtDialogViews.h"

#include <QWidget>

namespace os::qt {

namespace {

// The window a view's frame calls act on: a dialog's own window, or a page.
QWidget* frameOf(const QtView* view) {
    if (view == nullptr || view->widget() == nullptr) {
        return nullptr;
    }
    return view->kind() == QtView::Kind::Page ? view->widget() : view->widget()->window();
}

}  // namespace

bool QtWindows::registerClass(const WindowClass& windowClass) {
    return desktop_.registerClass(windowClass);
}

bool QtWindows::unregisterClass(const std::string& className, InstanceHandle instance) {
    return desktop_.unregisterClass(className, instance);
}

WindowHandle QtWindows::createWindow(const WindowCreation& creation) {
    return desktop_.createWindow(creation);
}

bool QtWindows::destroyWindow(WindowHandle window) {
    return desktop_.destroyWindow(window);
}

bool QtWindows::isWindow(WindowHandle window) const {
    return desktop_.isWindow(window);
}

bool QtWindows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    return desktop_.postMessage(window, message, wParam, lParam);
}

void QtWindows::postQuitMessage(int exitCode) {
    desktop_.postQuitMessage(exitCode);
}

bool QtWindows::peekMessage(Message& message, bool remove) {
    return desktop_.peekMessage(message, remove);
}

bool QtWindows::waitMessage(std::chrono::milliseconds timeout) {
    return desktop_.waitMessage(timeout);
}

bool QtWindows::translateMessage(const Message& message) {
    return desktop_.translateMessage(message);
}

std::intptr_t QtWindows::dispatchMessage(const Message& message) {
    return desktop_.dispatchMessage(message);
}

std::intptr_t QtWindows::defWindowProc(WindowHandle window, unsigned int message,
                                       std::uintptr_t wParam, std::intptr_t lParam) {
    return desktop_.defWindowProc(window, message, wParam, lParam);
}

bool QtWindows::getWindowRect(WindowHandle window, Rect& rect) const {
    QWidget* frame = frameOf(views_.viewOf(window));
    if (frame == nullptr) {
        return desktop_.getWindowRect(window, rect);
    }
    const QRect outer = frame->isWindow() ? frame->frameGeometry()
                                          : QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    rect =
        Rect{outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
    return true;
}

unsigned QtWindows::getWindowStyle(WindowHandle window) const {
    const unsigned style = desktop_.getWindowStyle(window);
    QWidget* frame = frameOf(views_.viewOf(window));
    if (frame == nullptr) {
        return style;
    }
    return frame->isVisible() ? (style | ws::Visible) : (style & ~ws::Visible);
}

bool QtWindows::showWindow(WindowHandle window, int command) {
    QtView* view = views_.viewOf(window);
    const bool desktopWasVisible = desktop_.showWindow(window, command);
    if (view == nullptr) {
        return desktopWasVisible;
    }
    return view->showFrame(command);
}

bool QtWindows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                             int height, unsigned flags) {
    QtView* view = views_.viewOf(window);
    const bool placed = desktop_.setWindowPos(window, insertAfter, x, y, width, height, flags);
    QWidget* frame = frameOf(view);
    if (frame == nullptr) {
        return placed;
    }
    if ((flags & swp::NoSize) == 0) {
        // The size given is the outer one, the frame included.
        const QSize border = frame->frameGeometry().size() - frame->size();
        frame->resize(width - border.width(), height - border.height());
    }
    if ((flags & swp::NoMove) == 0) {
        frame->move(x, y);
    }
    if ((flags & swp::HideWindow) != 0) {
        view->showFrame(sw::Hide);
    } else if ((flags & swp::ShowWindow) != 0) {
        view->showFrame(sw::Show);
    }
    if ((flags & swp::NoZOrder) == 0) {
        frame->raise();
    }
    return true;
}

bool QtWindows::setForegroundWindow(WindowHandle window) {
    const bool desktopResult = desktop_.setForegroundWindow(window);
    QWidget* frame = frameOf(views_.viewOf(window));
    if (frame == nullptr) {
        return desktopResult;
    }
    frame->window()->raise();
    frame->window()->activateWindow();
    return true;
}

WindowHandle QtWindows::getForegroundWindow() const {
    return desktop_.getForegroundWindow();
}

int QtWindows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    QWidget* frame = frameOf(views_.viewOf(window));
    if (frame == nullptr || !frame->isWindow()) {
        return desktop_.getWindowText(window, text, maxCount);
    }
    if (maxCount <= 0) {
        return 0;
    }
    text = frame->windowTitle().toStdString();
    if (static_cast<int>(text.size()) > maxCount - 1) {
        text.resize(static_cast<std::size_t>(maxCount - 1));
    }
    return static_cast<int>(text.size());
}

int QtWindows::getClassName(WindowHandle window, std::string& name, int maxCount) const {
    return desktop_.getClassName(window, name, maxCount);
}

WindowHandle QtWindows::findWindow(const std::string& className) const {
    return desktop_.findWindow(className);
}

bool QtWindows::getCursorPos(Point& position) const {
    return desktop_.getCursorPos(position);
}

bool QtWindows::getMonitorRect(const Point& point, Rect& monitor) const {
    return desktop_.getMonitorRect(point, monitor);
}

}  // namespace os::qt
