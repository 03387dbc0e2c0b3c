#include "os/x11/X11Windows.h"

#include "os/ErrorCodes.h"
#include "os/common/Monitors.h"
#include "os/x11/ThreadInputState.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace os::x11 {

namespace {

std::atomic<X11Windows*> currentInputTarget{nullptr};

constexpr int BorderWidth = 1;

bool isXBacked(unsigned style) {
    return (style & ws::Popup) != 0;
}

void wake(int eventFd) {
    if (eventFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(eventFd, &one, sizeof one);
    }
}

void drain(int eventFd) {
    if (eventFd >= 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = ::read(eventFd, &count, sizeof count);
    }
}

// Cuts a text to at most `limit` bytes without splitting a UTF-8 character.
std::string cutUtf8(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

X11Windows::X11Windows(Errors& errors, const std::string& displayName)
    : errors_(errors), displayName_(displayName), foreign_(displayName), engine_(errors, *this) {
    // The first one made serves the hook library; a later one (a look at the desktop on a
    // connection of its own) must not take the program's input away.
    X11Windows* none = nullptr;
    currentInputTarget.compare_exchange_strong(none, this);
}

X11Windows::~X11Windows() {
    X11Windows* self = this;
    currentInputTarget.compare_exchange_strong(self, nullptr);
    for (auto& [thread, link] : links_) {
        if (link.display != nullptr) {
            XCloseDisplay(link.display);
        }
        if (link.eventFd >= 0) {
            ::close(link.eventFd);
        }
    }
}

X11Windows* X11Windows::inputTarget() {
    return currentInputTarget;
}

void X11Windows::queueFilled(std::thread::id thread) {
    std::lock_guard lock(linksMutex_);
    const auto found = links_.find(thread);
    if (found != links_.end()) {
        wake(found->second.eventFd);
    }
}

void X11Windows::queueEmptied(std::thread::id thread) {
    std::lock_guard lock(linksMutex_);
    const auto found = links_.find(thread);
    if (found != links_.end()) {
        drain(found->second.eventFd);
    }
}

bool X11Windows::acceptsParent(WindowHandle parent) const {
    return foreign_.xWindowOf(parent) != 0;
}

std::optional<unsigned long> X11Windows::attach(const WindowCreation& creation,
                                                const WindowClass& windowClass) {
    if (!isXBacked(creation.style)) {
        return 0UL;
    }
    _XDisplay* display = nullptr;
    std::optional<unsigned long> backgroundPixel;
    {
        std::lock_guard lock(linksMutex_);
        ThreadLink& link = links_[std::this_thread::get_id()];
        if (link.display == nullptr) {
            link.display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
            if (link.display == nullptr) {
                errors_.setLastError(error::NotSupported);
                return std::nullopt;
            }
        }
        ++link.xWindows;
        display = link.display;
        const auto pixel = backgroundPixels_.find(windowClass.className);
        if (pixel != backgroundPixels_.end()) {
            backgroundPixel = pixel->second;
        }
    }
    const unsigned long xWindow = createXWindow(display, creation, backgroundPixel);
    if (xWindow == 0) {
        std::lock_guard lock(linksMutex_);
        ThreadLink& link = links_[std::this_thread::get_id()];
        --link.xWindows;
        closeThreadDisplayIfUnused(link);
        errors_.setLastError(error::NotSupported);
        return std::nullopt;
    }
    return xWindow;
}

void X11Windows::detach(const common::WindowEngine::Window& window) {
    std::lock_guard lock(linksMutex_);
    ThreadLink& link = links_[window.thread];
    XDestroyWindow(link.display, window.native);
    XFlush(link.display);
    --link.xWindows;
    closeThreadDisplayIfUnused(link);
}

void X11Windows::shown(const common::WindowEngine::Window& window, int command) {
    std::lock_guard lock(linksMutex_);
    _XDisplay* display = links_[window.thread].display;
    if (command == sw::Hide) {
        XUnmapWindow(display, window.native);
    } else {
        XMapRaised(display, window.native);
    }
    XFlush(display);
}

void X11Windows::placed(const common::WindowEngine::Window& window, unsigned flags,
                        WindowHandle insertAfter) {
    // An override-redirect window is never focused, whatever the flags say.
    std::lock_guard lock(linksMutex_);
    _XDisplay* display = links_[window.thread].display;
    const int border = (window.style & ws::Border) != 0 ? BorderWidth : 0;
    const Rect& rect = window.rect;
    XMoveResizeWindow(display, window.native, rect.left, rect.top,
                      static_cast<unsigned>(std::max(1, rect.right - rect.left - 2 * border)),
                      static_cast<unsigned>(std::max(1, rect.bottom - rect.top - 2 * border)));
    if ((flags & swp::HideWindow) != 0) {
        XUnmapWindow(display, window.native);
    }
    if ((flags & swp::ShowWindow) != 0) {
        XMapRaised(display, window.native);
    } else if ((flags & swp::NoZOrder) == 0 && insertAfter == HwndTopmost) {
        XRaiseWindow(display, window.native);
    }
    XFlush(display);
}

bool X11Windows::registerClass(const WindowClass& windowClass) {
    if (!engine_.registerClass(windowClass)) {
        return false;
    }
    if (windowClass.background) {
        const unsigned long pixel = foreign_.pixelOf(*windowClass.background);
        std::lock_guard lock(linksMutex_);
        backgroundPixels_[windowClass.className] = pixel;
    }
    return true;
}

bool X11Windows::unregisterClass(const std::string& className, InstanceHandle /*instance*/) {
    if (!engine_.unregisterClass(className)) {
        return false;
    }
    std::lock_guard lock(linksMutex_);
    backgroundPixels_.erase(className);
    return true;
}

unsigned long X11Windows::createXWindow(_XDisplay* display, const WindowCreation& creation,
                                        std::optional<unsigned long> backgroundPixel) {
    const Rect rect{creation.x, creation.y, creation.x + creation.width,
                    creation.y + creation.height};
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    unsigned long mask = CWOverrideRedirect | CWEventMask;
    if (backgroundPixel) {
        attributes.background_pixel = *backgroundPixel;
        mask |= CWBackPixel;
    }
    const int border = (creation.style & ws::Border) != 0 ? BorderWidth : 0;
    attributes.border_pixel = BlackPixel(display, screen);
    mask |= CWBorderPixel;
    const auto width = static_cast<unsigned>(std::max(1, rect.right - rect.left - 2 * border));
    const auto height = static_cast<unsigned>(std::max(1, rect.bottom - rect.top - 2 * border));
    const ::Window xWindow =
        XCreateWindow(display, RootWindow(display, screen), rect.left, rect.top, width, height,
                      static_cast<unsigned>(border), CopyFromParent, InputOutput, CopyFromParent,
                      mask, &attributes);
    if (xWindow == 0) {
        return 0;
    }
    // The class name is how other processes find the window: both parts of WM_CLASS carry it.
    std::vector<char> name(creation.className.begin(), creation.className.end());
    name.push_back('\0');
    XClassHint classHint{name.data(), name.data()};
    XSetClassHint(display, xWindow, &classHint);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(display, xWindow, &hints);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, xWindow, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(creation.title.data()),
                    static_cast<int>(creation.title.size()));
    XStoreName(display, xWindow, creation.title.c_str());
    const Atom tooltipType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    XChangeProperty(display, xWindow, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&tooltipType), 1);
    if ((creation.style & ws::Visible) != 0) {
        XMapRaised(display, xWindow);
    }
    XFlush(display);
    return xWindow;
}

WindowHandle X11Windows::createWindow(const WindowCreation& creation) {
    return engine_.createWindow(creation);
}

void X11Windows::closeThreadDisplayIfUnused(ThreadLink& link) {
    // Only the owning thread reads its connection's events, so only it may close it; another
    // thread's destruction leaves the connection to the owner's next look at its queue.
    if (link.display != nullptr && link.xWindows == 0 &&
        &link == &links_[std::this_thread::get_id()]) {
        XCloseDisplay(link.display);
        link.display = nullptr;
    }
}

bool X11Windows::destroyWindow(WindowHandle window) {
    return engine_.destroyWindow(window);
}

bool X11Windows::isWindow(WindowHandle window) const {
    if (engine_.isWindow(window)) {
        return true;
    }
    const unsigned long xWindow = foreign_.xWindowOf(window);
    return xWindow != 0 && foreign_.exists(xWindow);
}

bool X11Windows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    return engine_.postMessage(window, message, wParam, lParam);
}

bool X11Windows::postInputMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                  std::intptr_t lParam, const KeyStateTable& keyState) {
    return engine_.postMessage(window, message, wParam, lParam, keyState);
}

void X11Windows::postQuitMessage(int exitCode) {
    engine_.postQuitMessage(exitCode);
}

void X11Windows::pumpXEvents() {
    _XDisplay* display = nullptr;
    {
        std::lock_guard lock(linksMutex_);
        const auto found = links_.find(std::this_thread::get_id());
        if (found == links_.end() || found->second.display == nullptr) {
            return;
        }
        ThreadLink& link = found->second;
        if (link.xWindows == 0) {
            closeThreadDisplayIfUnused(link);
            return;
        }
        display = link.display;
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            engine_.scheduleNativePaint(event.xexpose.window);
        }
    }
}

bool X11Windows::peekMessage(Message& message, bool remove) {
    pumpXEvents();
    const auto queued = engine_.peekMessage(remove);
    if (!queued) {
        return false;
    }
    message = queued->message;
    if (queued->keyState) {
        ThreadInputState::set(*queued->keyState);
    }
    return true;
}

bool X11Windows::waitMessage(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const int eventFd = messageFileDescriptor();
    for (;;) {
        pumpXEvents();
        if (engine_.hasMessages()) {
            return true;
        }
        const int xFd = xConnectionFileDescriptor();
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        // Rounded up, so the wait never ends before its time.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd descriptors[2] = {{eventFd, POLLIN, 0}, {xFd, POLLIN, 0}};
        ::poll(descriptors, xFd >= 0 ? 2 : 1, static_cast<int>(left.count()));
    }
}

int X11Windows::messageFileDescriptor() {
    int eventFd = -1;
    {
        std::lock_guard lock(linksMutex_);
        ThreadLink& link = links_[std::this_thread::get_id()];
        if (link.eventFd >= 0) {
            return link.eventFd;
        }
        link.eventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        eventFd = link.eventFd;
    }
    // A message queued before the descriptor existed woke nothing.
    if (engine_.hasMessages()) {
        wake(eventFd);
    }
    return eventFd;
}

int X11Windows::xConnectionFileDescriptor() {
    std::lock_guard lock(linksMutex_);
    const ThreadLink& link = links_[std::this_thread::get_id()];
    return link.display != nullptr ? ConnectionNumber(link.display) : -1;
}

bool X11Windows::translateMessage(const Message& /*message*/) {
    // Key events reach the program through the hook library, never as window messages.
    return false;
}

std::intptr_t X11Windows::dispatchMessage(const Message& message) {
    return engine_.dispatchMessage(message);
}

std::intptr_t X11Windows::defWindowProc(WindowHandle window, unsigned int message,
                                        std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {
    return engine_.defWindowProc(window, message);
}

void X11Windows::validate(WindowHandle window) {
    engine_.validate(window);
}

bool X11Windows::withXTarget(WindowHandle window,
                             const std::function<void(const XTarget&)>& action) {
    if (const auto found = engine_.window(window)) {
        if (found->native != 0) {
            std::lock_guard lock(linksMutex_);
            _XDisplay* display = links_[found->thread].display;
            action(XTarget{display, found->native, DefaultScreen(display)});
            return true;
        }
    } else if (foreign_.xWindowOf(window) == 0) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    foreign_.withDisplay([&](_XDisplay* desktop) {
        action(XTarget{desktop, 0, DefaultScreen(desktop)});
    });
    return true;
}

bool X11Windows::getWindowRect(WindowHandle window, Rect& rect) const {
    if (const auto found = engine_.window(window)) {
        rect = found->rect;
        return true;
    }
    const unsigned long xWindow = foreign_.xWindowOf(window);
    if (xWindow == 0 || !foreign_.rectOf(xWindow, rect)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    return true;
}

unsigned X11Windows::getWindowStyle(WindowHandle window) const {
    if (const auto found = engine_.window(window)) {
        return found->style;
    }
    const unsigned long xWindow = foreign_.xWindowOf(window);
    const std::optional<bool> viewable =
        xWindow != 0 ? foreign_.viewable(xWindow) : std::optional<bool>();
    if (!viewable) {
        errors_.setLastError(error::InvalidWindowHandle);
        return 0;
    }
    return *viewable ? ws::Visible : 0U;
}

bool X11Windows::showWindow(WindowHandle window, int command) {
    const std::optional<bool> wasVisible = engine_.showWindow(window, command);
    if (!wasVisible && foreign_.xWindowOf(window) != 0) {
        // Other applications' windows are theirs to show.
        errors_.setLastError(error::AccessDenied);
    }
    return wasVisible.value_or(false);
}

bool X11Windows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) {
    if (engine_.setWindowPos(window, insertAfter, x, y, width, height, flags)) {
        return true;
    }
    if (foreign_.xWindowOf(window) != 0) {
        errors_.setLastError(error::AccessDenied);
    }
    return false;
}

bool X11Windows::setForegroundWindow(WindowHandle window) {
    const unsigned long xWindow = xWindowOf(window);
    if (xWindow == 0) {
        // A window without an X window cannot be in front of the desktop.
        errors_.setLastError(engine_.isWindow(window) ? error::AccessDenied
                                                      : error::InvalidWindowHandle);
        return false;
    }
    if (!foreign_.activate(xWindow)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    return true;
}

unsigned long X11Windows::xWindowOf(WindowHandle window) const {
    if (const auto found = engine_.window(window)) {
        return found->native;
    }
    return foreign_.xWindowOf(window);
}

WindowHandle X11Windows::handleOfXWindow(unsigned long xWindow) const {
    if (xWindow == 0) {
        return 0;
    }
    const WindowHandle ownWindow = engine_.windowOfNative(xWindow);
    return ownWindow != 0 ? ownWindow : foreign_.handleOf(xWindow);
}

WindowHandle X11Windows::getForegroundWindow() const {
    const unsigned long active = foreign_.activeWindow();
    std::lock_guard lock(foregroundMutex_);
    if (active != 0 && foreign_.classOf(active, false)) {
        lastForeground_ = handleOfXWindow(active);
        return lastForeground_;
    }
    if (active == 0) {
        lastForeground_ = 0;
        return 0;
    }
    // While the window manager switches windows the active one is briefly a window without a
    // class; the one before it still counts as in front.
    const unsigned long known = foreign_.xWindowOf(lastForeground_);
    const bool stillThere = known != 0 ? foreign_.exists(known) : engine_.isWindow(lastForeground_);
    if (!stillThere) {
        lastForeground_ = 0;
    }
    return lastForeground_;
}

int X11Windows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    text.clear();
    std::string title;
    if (const auto found = engine_.window(window)) {
        title = found->title;
    } else {
        const unsigned long xWindow = foreign_.xWindowOf(window);
        if (xWindow == 0 || !foreign_.exists(xWindow)) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
        title = foreign_.titleOf(xWindow);
    }
    if (maxCount <= 0) {
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    text = cutUtf8(title, static_cast<std::size_t>(maxCount - 1));
    if (text.empty()) {
        errors_.setLastError(0);
    }
    return static_cast<int>(text.size());
}

int X11Windows::getClassName(WindowHandle window, std::string& name, int maxCount) const {
    name.clear();
    std::string className;
    if (const auto found = engine_.window(window)) {
        className = found->className;
    } else {
        const unsigned long xWindow = foreign_.xWindowOf(window);
        if (xWindow == 0) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
        const auto foreignClass = foreign_.classOf(xWindow, false);
        if (!foreignClass) {
            errors_.setLastError(foreign_.exists(xWindow) ? 0 : error::InvalidWindowHandle);
            return 0;
        }
        className = *foreignClass;
    }
    if (maxCount <= 0) {
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    name = cutUtf8(className, static_cast<std::size_t>(maxCount - 1));
    return static_cast<int>(name.size());
}

WindowHandle X11Windows::findWindow(const std::string& className) const {
    if (const WindowHandle ownWindow = engine_.findWindow(className)) {
        return ownWindow;
    }
    const unsigned long xWindow = foreign_.findByClass(className);
    return xWindow != 0 ? foreign_.handleOf(xWindow) : 0;
}

bool X11Windows::getCursorPos(Point& position) const {
    if (!foreign_.cursor(position)) {
        // The pointer is on another screen of the display.
        errors_.setLastError(error::AccessDenied);
        return false;
    }
    return true;
}

bool X11Windows::getMonitorRect(const Point& point, Rect& monitor) const {
    const std::optional<Rect> holding = common::Monitors::holding(foreign_.monitors(), point);
    if (!holding) {
        errors_.setLastError(error::NotSupported);
        return false;
    }
    monitor = *holding;
    return true;
}

}  // namespace os::x11
extern "C" int PastrixPostInputMessage(std::uintptr_t window, unsigned int message,
                                       std::uintptr_t wParam, std::intptr_t lParam,
                                       const std::uint8_t* keyState) {
    os::x11::X11Windows* target = os::x11::X11Windows::inputTarget();
    if (target == nullptr || keyState == nullptr) {
        return 0;
    }
    os::KeyStateTable table;
    std::memcpy(table.data(), keyState, table.size());
    return target->postInputMessage(window, message, wParam, lParam, table) ? 1 : 0;
}
