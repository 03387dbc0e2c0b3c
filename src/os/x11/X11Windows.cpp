#include "os/x11/X11Windows.h"

#include "os/ErrorCodes.h"
#include "os/common/Monitors.h"
#include "os/common/WindowPlacement.h"
#include "os/x11/ThreadInputState.h"
#include "os/x11/X11ErrorTrap.h"
#include "os/x11/X11SystemCalls.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace os::x11 {

namespace {

std::atomic<X11Windows*> currentInputTarget{nullptr};

std::intptr_t defaultProcedure(WindowHandle, unsigned int, std::uintptr_t, std::intptr_t) {
    return 0;
}

constexpr int BorderWidth = 1;

bool isXBacked(unsigned style) {
    return (style & ws::Popup) != 0;
}

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

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
    : errors_(errors), displayName_(displayName) {
    XInitThreads();
    X11ErrorTrap::installHandler();
    desktop_ = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (desktop_ == nullptr) {
        const char* name = displayName_.empty() ? std::getenv("DISPLAY") : displayName_.c_str();
        throw std::runtime_error(std::string("cannot open the X display \"") +
                                 (name != nullptr ? name : "") + "\"");
    }
    // The first one made serves the hook library; a later one (a look at the desktop on a
    // connection of its own) must not take the program's input away.
    X11Windows* none = nullptr;
    currentInputTarget.compare_exchange_strong(none, this);
}

X11Windows::~X11Windows() {
    X11Windows* self = this;
    currentInputTarget.compare_exchange_strong(self, nullptr);
    for (auto& [thread, queue] : queues_) {
        if (queue.display != nullptr) {
            XCloseDisplay(queue.display);
        }
        if (queue.eventFd >= 0) {
            ::close(queue.eventFd);
        }
    }
    XCloseDisplay(desktop_);
}

X11Windows* X11Windows::inputTarget() {
    return currentInputTarget;
}

X11Windows::Window* X11Windows::find(WindowHandle window) {
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        errors_.setLastError(error::InvalidWindowHandle);
        return nullptr;
    }
    return &found->second;
}

const X11Windows::Window* X11Windows::find(WindowHandle window) const {
    return const_cast<X11Windows*>(this)->find(window);
}

X11Windows::ThreadQueue& X11Windows::queueOf(std::thread::id thread) {
    return queues_[thread];
}

void X11Windows::enqueue(std::thread::id thread, const Queued& queued) {
    ThreadQueue& queue = queueOf(thread);
    const bool wasEmpty = queue.messages.empty();
    queue.messages.push_back(queued);
    if (wasEmpty) {
        wake(queue.eventFd);
    }
}

void X11Windows::schedulePaint(WindowHandle handle, Window& window) {
    if (window.paintPending || (window.style & ws::Visible) == 0) {
        return;
    }
    window.paintPending = true;
    enqueue(window.thread, Queued{Message{handle, wm::Paint, 0, 0}, std::nullopt});
}

bool X11Windows::registerClass(const WindowClass& windowClass) {
    if (windowClass.className.empty()) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    ClassRecord record{windowClass, 0};
    if (windowClass.background) {
        const std::uint32_t colour = *windowClass.background;
        XColor xColour{};
        xColour.red = static_cast<unsigned short>((colour & 0xFF) * 257);
        xColour.green = static_cast<unsigned short>(((colour >> 8) & 0xFF) * 257);
        xColour.blue = static_cast<unsigned short>(((colour >> 16) & 0xFF) * 257);
        xColour.flags = DoRed | DoGreen | DoBlue;
        std::lock_guard query(queryMutex_);
        const int screen = DefaultScreen(desktop_);
        record.backgroundPixel = XAllocColor(desktop_, DefaultColormap(desktop_, screen), &xColour)
                                     ? xColour.pixel
                                     : WhitePixel(desktop_, screen);
    }
    std::lock_guard lock(mutex_);
    if (!classes_.emplace(windowClass.className, record).second) {
        errors_.setLastError(error::ClassAlreadyExists);
        return false;
    }
    return true;
}

bool X11Windows::unregisterClass(const std::string& className, InstanceHandle /*instance*/) {
    std::lock_guard lock(mutex_);
    if (classes_.erase(className) == 0) {
        errors_.setLastError(error::ClassDoesNotExist);
        return false;
    }
    return true;
}

unsigned long X11Windows::createXWindow(_XDisplay* display, const WindowCreation& creation,
                                        const WindowClass& windowClass, const Rect& rect) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    unsigned long mask = CWOverrideRedirect | CWEventMask;
    if (windowClass.background) {
        std::lock_guard lock(mutex_);
        const auto found = classes_.find(windowClass.className);
        attributes.background_pixel =
            found != classes_.end() ? found->second.backgroundPixel : WhitePixel(display, screen);
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
    WindowHandle handle = 0;
    WindowProcedure procedure = nullptr;
    WindowClass windowClass;
    Rect rect{creation.x, creation.y, creation.x + creation.width, creation.y + creation.height};
    _XDisplay* display = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto found = classes_.find(creation.className);
        if (found == classes_.end()) {
            errors_.setLastError(error::ClassDoesNotExist);
            return 0;
        }
        windowClass = found->second.description;
        if (creation.parent != 0 && find(creation.parent) == nullptr &&
            foreignWindows_.count(creation.parent) == 0) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
        if (isXBacked(creation.style)) {
            ThreadQueue& queue = queueOf(std::this_thread::get_id());
            if (queue.display == nullptr) {
                queue.display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
                if (queue.display == nullptr) {
                    errors_.setLastError(error::NotSupported);
                    return 0;
                }
            }
            ++queue.xWindows;
            display = queue.display;
        }
        Window window;
        window.className = creation.className;
        window.title = creation.title;
        window.style = creation.style;
        window.rect = rect;
        window.parent = creation.parent;
        window.thread = std::this_thread::get_id();
        window.procedure =
            windowClass.procedure != nullptr ? windowClass.procedure : &defaultProcedure;
        procedure = window.procedure;
        handle = nextHandle_;
        nextHandle_ += 0x10;
        windows_.emplace(handle, window);
    }
    if (display != nullptr) {
        const unsigned long xWindow = createXWindow(display, creation, windowClass, rect);
        std::lock_guard lock(mutex_);
        if (xWindow == 0) {
            windows_.erase(handle);
            ThreadQueue& queue = queueOf(std::this_thread::get_id());
            --queue.xWindows;
            closeThreadDisplayIfUnused(queue);
            errors_.setLastError(error::NotSupported);
            return 0;
        }
        windows_[handle].xWindow = xWindow;
    }
    if (procedure(handle, wm::Create, 0, 0) == -1) {
        destroyWindow(handle);
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    std::lock_guard lock(mutex_);
    if (Window* window = find(handle); window != nullptr && window->xWindow == 0) {
        schedulePaint(handle, *window);
    }
    return handle;
}

void X11Windows::closeThreadDisplayIfUnused(ThreadQueue& queue) {
    // Only the owning thread reads its connection's events, so only it may close it; another
    // thread's destruction leaves the connection to the owner's next look at its queue.
    if (queue.display != nullptr && queue.xWindows == 0 &&
        &queue == &queueOf(std::this_thread::get_id())) {
        XCloseDisplay(queue.display);
        queue.display = nullptr;
    }
}

bool X11Windows::destroyWindow(WindowHandle window) {
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard lock(mutex_);
        const Window* found = find(window);
        if (found == nullptr) {
            return false;
        }
        procedure = found->procedure;
    }
    procedure(window, wm::Destroy, 0, 0);
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return true;  // the procedure destroyed it itself
    }
    const std::thread::id owner = found->thread;
    const unsigned long xWindow = found->xWindow;
    windows_.erase(window);
    for (auto& [thread, queue] : queues_) {
        std::erase_if(queue.messages, [&](const Queued& q) { return q.message.window == window; });
    }
    if (xWindow != 0) {
        ThreadQueue& queue = queueOf(owner);
        XDestroyWindow(queue.display, xWindow);
        XFlush(queue.display);
        --queue.xWindows;
        closeThreadDisplayIfUnused(queue);
    }
    return true;
}

bool X11Windows::isWindow(WindowHandle window) const {
    unsigned long xWindow = 0;
    {
        std::lock_guard lock(mutex_);
        if (windows_.count(window) != 0) {
            return true;
        }
        const auto foreign = foreignWindows_.find(window);
        if (foreign == foreignWindows_.end()) {
            return false;
        }
        xWindow = foreign->second;
    }
    std::lock_guard query(queryMutex_);
    return xWindowExists(xWindow);
}

bool X11Windows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    enqueue(found->thread, Queued{Message{window, message, wParam, lParam}, std::nullopt});
    return true;
}

bool X11Windows::postInputMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                  std::intptr_t lParam, const KeyStateTable& keyState) {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    enqueue(found->thread, Queued{Message{window, message, wParam, lParam}, keyState});
    return true;
}

void X11Windows::postQuitMessage(int exitCode) {
    std::lock_guard lock(mutex_);
    enqueue(std::this_thread::get_id(),
            Queued{Message{0, wm::Quit, static_cast<std::uintptr_t>(exitCode), 0}, std::nullopt});
}

void X11Windows::pumpXEvents() {
    _XDisplay* display = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto found = queues_.find(std::this_thread::get_id());
        if (found == queues_.end() || found->second.display == nullptr) {
            return;
        }
        ThreadQueue& queue = found->second;
        if (queue.xWindows == 0) {
            closeThreadDisplayIfUnused(queue);
            return;
        }
        display = queue.display;
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != Expose || event.xexpose.count != 0) {
            continue;
        }
        std::lock_guard lock(mutex_);
        for (auto& [handle, window] : windows_) {
            if (window.xWindow == event.xexpose.window) {
                schedulePaint(handle, window);
                break;
            }
        }
    }
}

bool X11Windows::peekMessage(Message& message, bool remove) {
    pumpXEvents();
    std::optional<KeyStateTable> keyState;
    {
        std::lock_guard lock(mutex_);
        ThreadQueue& queue = queueOf(std::this_thread::get_id());
        if (queue.messages.empty()) {
            return false;
        }
        message = queue.messages.front().message;
        if (!remove) {
            return true;
        }
        keyState = queue.messages.front().keyState;
        queue.messages.pop_front();
        if (queue.messages.empty()) {
            drain(queue.eventFd);
        }
    }
    if (keyState) {
        ThreadInputState::set(*keyState);
    }
    return true;
}

bool X11Windows::waitMessage(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const int eventFd = messageFileDescriptor();
    for (;;) {
        pumpXEvents();
        int xFd = -1;
        {
            std::lock_guard lock(mutex_);
            ThreadQueue& queue = queueOf(std::this_thread::get_id());
            if (!queue.messages.empty()) {
                return true;
            }
            if (queue.display != nullptr) {
                xFd = ConnectionNumber(queue.display);
            }
        }
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
    std::lock_guard lock(mutex_);
    ThreadQueue& queue = queueOf(std::this_thread::get_id());
    if (queue.eventFd < 0) {
        queue.eventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (!queue.messages.empty()) {
            wake(queue.eventFd);
        }
    }
    return queue.eventFd;
}

int X11Windows::xConnectionFileDescriptor() {
    std::lock_guard lock(mutex_);
    const ThreadQueue& queue = queueOf(std::this_thread::get_id());
    return queue.display != nullptr ? ConnectionNumber(queue.display) : -1;
}

bool X11Windows::translateMessage(const Message& /*message*/) {
    // Key events reach the program through the hook library, never as window messages.
    return false;
}

std::intptr_t X11Windows::dispatchMessage(const Message& message) {
    if (message.window == 0) {
        return 0;
    }
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard lock(mutex_);
        const Window* found = find(message.window);
        if (found == nullptr) {
            return 0;
        }
        procedure = found->procedure;
    }
    return procedure(message.window, message.message, message.wParam, message.lParam);
}

std::intptr_t X11Windows::defWindowProc(WindowHandle window, unsigned int message,
                                        std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {
    if (message == wm::Close) {
        destroyWindow(window);
    } else if (message == wm::Paint) {
        validate(window);
    }
    return 0;
}

void X11Windows::validate(WindowHandle window) {
    std::lock_guard lock(mutex_);
    if (Window* found = find(window)) {
        found->paintPending = false;
    }
}

bool X11Windows::withXTarget(WindowHandle window,
                             const std::function<void(const XTarget&)>& action) {
    {
        std::lock_guard lock(mutex_);
        if (const Window* found = find(window)) {
            if (found->xWindow != 0) {
                const auto queue = queues_.find(found->thread);
                _XDisplay* display = queue->second.display;
                action(XTarget{display, found->xWindow, DefaultScreen(display)});
                return true;
            }
        } else if (foreignWindows_.count(window) == 0) {
            return false;
        }
    }
    std::lock_guard query(queryMutex_);
    action(XTarget{desktop_, 0, DefaultScreen(desktop_)});
    return true;
}

void X11Windows::applyXPlacement(const Window& window, unsigned flags, WindowHandle insertAfter) {
    _XDisplay* display = queues_[window.thread].display;
    const int border = (window.style & ws::Border) != 0 ? BorderWidth : 0;
    const Rect& rect = window.rect;
    XMoveResizeWindow(display, window.xWindow, rect.left, rect.top,
                      static_cast<unsigned>(std::max(1, rect.right - rect.left - 2 * border)),
                      static_cast<unsigned>(std::max(1, rect.bottom - rect.top - 2 * border)));
    if ((flags & swp::HideWindow) != 0) {
        XUnmapWindow(display, window.xWindow);
    }
    if ((flags & swp::ShowWindow) != 0) {
        XMapRaised(display, window.xWindow);
    } else if ((flags & swp::NoZOrder) == 0 && insertAfter == HwndTopmost) {
        XRaiseWindow(display, window.xWindow);
    }
    XFlush(display);
}

bool X11Windows::getWindowRect(WindowHandle window, Rect& rect) const {
    unsigned long xWindow = 0;
    {
        std::lock_guard lock(mutex_);
        const auto own = windows_.find(window);
        if (own != windows_.end()) {
            rect = own->second.rect;
            return true;
        }
        const auto foreign = foreignWindows_.find(window);
        if (foreign == foreignWindows_.end()) {
            errors_.setLastError(error::InvalidWindowHandle);
            return false;
        }
        xWindow = foreign->second;
    }
    std::lock_guard query(queryMutex_);
    if (!xRectOf(xWindow, rect)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    return true;
}

unsigned X11Windows::getWindowStyle(WindowHandle window) const {
    unsigned long xWindow = 0;
    {
        std::lock_guard lock(mutex_);
        const auto own = windows_.find(window);
        if (own != windows_.end()) {
            return own->second.style;
        }
        const auto foreign = foreignWindows_.find(window);
        if (foreign == foreignWindows_.end()) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
        xWindow = foreign->second;
    }
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(desktop_, xWindow, &attributes) == 0 || trap.sync() != 0) {
        errors_.setLastError(error::InvalidWindowHandle);
        return 0;
    }
    return attributes.map_state == IsViewable ? ws::Visible : 0U;
}

bool X11Windows::showWindow(WindowHandle window, int command) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        if (foreignWindows_.count(window) != 0) {
            // Other applications' windows are theirs to show.
            errors_.setLastError(error::AccessDenied);
        }
        return false;
    }
    const bool wasVisible = (found->style & ws::Visible) != 0;
    if (command == sw::Hide) {
        found->style &= ~ws::Visible;
    } else {
        found->style |= ws::Visible;
    }
    if (found->xWindow != 0) {
        _XDisplay* display = queues_[found->thread].display;
        if (command == sw::Hide) {
            XUnmapWindow(display, found->xWindow);
        } else {
            XMapRaised(display, found->xWindow);
        }
        XFlush(display);
    } else if (command != sw::Hide) {
        schedulePaint(window, *found);
    }
    return wasVisible;
}

bool X11Windows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        if (foreignWindows_.count(window) != 0) {
            errors_.setLastError(error::AccessDenied);
        }
        return false;
    }
    common::WindowPlacement::apply(found->rect, found->style, x, y, width, height, flags);
    if (found->xWindow != 0) {
        // An override-redirect window is never focused, whatever the flags say.
        applyXPlacement(*found, flags, insertAfter);
    } else {
        schedulePaint(window, *found);
    }
    return true;
}

bool X11Windows::setForegroundWindow(WindowHandle window) {
    const unsigned long xWindow = xWindowOf(window);
    if (xWindow == 0) {
        std::lock_guard lock(mutex_);
        if (find(window) != nullptr) {
            // A window without an X window cannot be in front of the desktop.
            errors_.setLastError(error::AccessDenied);
        }
        return false;
    }
    std::lock_guard query(queryMutex_);
    // Asks the window manager, as a pager would; it decides.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xWindow;
    event.xclient.message_type = xAtom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    const ::Window root = DefaultRootWindow(desktop_);
    X11ErrorTrap trap(desktop_);
    XSendEvent(desktop_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    if (trap.sync() != 0) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    return true;
}

unsigned long X11Windows::xWindowOf(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const auto own = windows_.find(window);
    if (own != windows_.end()) {
        return own->second.xWindow;
    }
    const auto foreign = foreignWindows_.find(window);
    return foreign != foreignWindows_.end() ? foreign->second : 0;
}

WindowHandle X11Windows::handleOfXWindow(unsigned long xWindow) const {
    if (xWindow == 0) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window.xWindow == xWindow) {
            return handle;
        }
    }
    return foreignHandle(xWindow);
}

WindowHandle X11Windows::foreignHandle(unsigned long xWindow) const {
    const auto known = foreignByXWindow_.find(xWindow);
    if (known != foreignByXWindow_.end()) {
        return known->second;
    }
    const WindowHandle handle = nextForeignHandle_;
    nextForeignHandle_ += 0x10;
    foreignByXWindow_.emplace(xWindow, handle);
    foreignWindows_.emplace(handle, xWindow);
    return handle;
}

unsigned long X11Windows::xAtom(const char* name) const {
    return XInternAtom(desktop_, name, False);
}

bool X11Windows::xWindowExists(unsigned long xWindow) const {
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    return XGetWindowAttributes(desktop_, xWindow, &attributes) != 0 && trap.sync() == 0;
}

std::optional<std::string> X11Windows::xClassOf(unsigned long xWindow, bool wantName) const {
    X11ErrorTrap trap(desktop_);
    XClassHint hint{nullptr, nullptr};
    const Status got = XGetClassHint(desktop_, xWindow, &hint);
    trap.sync();
    if (got == 0) {
        return std::nullopt;
    }
    const char* part = wantName ? hint.res_name : hint.res_class;
    std::optional<std::string> result;
    if (part != nullptr) {
        result = part;
    }
    XFree(hint.res_name);
    XFree(hint.res_class);
    return result;
}

bool X11Windows::xHasClass(unsigned long xWindow, const std::string& className) const {
    X11ErrorTrap trap(desktop_);
    XClassHint hint{nullptr, nullptr};
    const Status got = XGetClassHint(desktop_, xWindow, &hint);
    trap.sync();
    if (got == 0) {
        return false;
    }
    const bool matches = (hint.res_class != nullptr && className == hint.res_class) ||
                         (hint.res_name != nullptr && className == hint.res_name);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return matches;
}

std::string X11Windows::xTitleOf(unsigned long xWindow) const {
    X11ErrorTrap trap(desktop_);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(desktop_, xWindow, xAtom("_NET_WM_NAME"), 0, 4096, False,
                           xAtom("UTF8_STRING"), &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 8 && count > 0) {
            return std::string(reinterpret_cast<const char*>(data.get()), count);
        }
    }
    XTextProperty property{};
    if (XGetWMName(desktop_, xWindow, &property) == 0 || property.value == nullptr) {
        return {};
    }
    XData value(property.value);
    char** list = nullptr;
    int listCount = 0;
    std::string title;
    if (Xutf8TextPropertyToTextList(desktop_, &property, &list, &listCount) >= 0 &&
        list != nullptr) {
        for (int i = 0; i < listCount; ++i) {
            title += list[i];
        }
        XFreeStringList(list);
    } else if (property.format == 8) {
        title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
    }
    return title;
}

bool X11Windows::xRectOf(unsigned long xWindow, Rect& rect) const {
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(desktop_, xWindow, &attributes) == 0 || trap.sync() != 0) {
        return false;
    }
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(desktop_, xWindow, attributes.root, 0, 0, &x, &y, &child);
    if (trap.sync() != 0) {
        return false;
    }
    rect = Rect{x, y, x + attributes.width, y + attributes.height};
    // The frame the window manager put around the window belongs to it, as on other desktops.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(desktop_, xWindow, xAtom("_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 32 && count == 4) {
            const auto* extents = reinterpret_cast<const long*>(data.get());
            rect.left -= static_cast<int>(extents[0]);
            rect.right += static_cast<int>(extents[1]);
            rect.top -= static_cast<int>(extents[2]);
            rect.bottom += static_cast<int>(extents[3]);
        }
    }
    return true;
}

WindowHandle X11Windows::getForegroundWindow() const {
    std::lock_guard query(queryMutex_);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(desktop_, DefaultRootWindow(desktop_), xAtom("_NET_ACTIVE_WINDOW"), 0, 1,
                           False, XA_WINDOW, &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 32 && count == 1) {
            active = static_cast<unsigned long>(*reinterpret_cast<const long*>(data.get()));
        }
    }
    std::lock_guard lock(mutex_);
    if (active != 0 && xClassOf(active, false)) {
        for (const auto& [handle, window] : windows_) {
            if (window.xWindow == active) {
                lastForeground_ = handle;
                return handle;
            }
        }
        lastForeground_ = foreignHandle(active);
        return lastForeground_;
    }
    if (active == 0) {
        lastForeground_ = 0;
        return 0;
    }
    // While the window manager switches windows the active one is briefly a window without a
    // class; the one before it still counts as in front.
    const auto known = foreignWindows_.find(lastForeground_);
    const bool stillThere = known != foreignWindows_.end() ? xWindowExists(known->second)
                                                           : windows_.count(lastForeground_) != 0;
    if (!stillThere) {
        lastForeground_ = 0;
    }
    return lastForeground_;
}

bool X11Windows::lookUp(WindowHandle window, std::string Window::*field, std::string& value,
                        unsigned long& xWindow) const {
    std::lock_guard lock(mutex_);
    const auto own = windows_.find(window);
    if (own != windows_.end()) {
        value = own->second.*field;
        return true;
    }
    const auto foreign = foreignWindows_.find(window);
    if (foreign == foreignWindows_.end()) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    xWindow = foreign->second;
    return true;
}

int X11Windows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    text.clear();
    std::string title;
    unsigned long xWindow = 0;
    if (!lookUp(window, &Window::title, title, xWindow)) {
        return 0;
    }
    if (xWindow != 0) {
        std::lock_guard query(queryMutex_);
        if (!xWindowExists(xWindow)) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
        title = xTitleOf(xWindow);
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
    unsigned long xWindow = 0;
    if (!lookUp(window, &Window::className, className, xWindow)) {
        return 0;
    }
    if (xWindow != 0) {
        std::lock_guard query(queryMutex_);
        const auto found = xClassOf(xWindow, false);
        if (!found) {
            errors_.setLastError(xWindowExists(xWindow) ? 0 : error::InvalidWindowHandle);
            return 0;
        }
        className = *found;
    }
    if (maxCount <= 0) {
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    name = cutUtf8(className, static_cast<std::size_t>(maxCount - 1));
    return static_cast<int>(name.size());
}

WindowHandle X11Windows::findWindow(const std::string& className) const {
    {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, window] : windows_) {
            if (window.className == className &&
                common::WindowPlacement::isTopLevel(window.style)) {
                return handle;
            }
        }
    }
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(desktop_, DefaultRootWindow(desktop_), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    std::unique_ptr<::Window, XFreeDeleter> topLevel(children);
    // Top first: the list comes in stacking order, bottom first. Window managers put the
    // applications' windows into frames, so the frames' children are looked at as well.
    for (unsigned int i = count; i-- > 0;) {
        const ::Window candidate = topLevel.get()[i];
        if (xHasClass(candidate, className)) {
            std::lock_guard lock(mutex_);
            return foreignHandle(candidate);
        }
        ::Window* inner = nullptr;
        unsigned int innerCount = 0;
        if (XQueryTree(desktop_, candidate, &root, &parent, &inner, &innerCount) == 0) {
            continue;
        }
        std::unique_ptr<::Window, XFreeDeleter> innerList(inner);
        for (unsigned int j = innerCount; j-- > 0;) {
            if (xHasClass(innerList.get()[j], className)) {
                std::lock_guard lock(mutex_);
                return foreignHandle(innerList.get()[j]);
            }
        }
    }
    return 0;
}

bool X11Windows::getCursorPos(Point& position) const {
    std::lock_guard query(queryMutex_);
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    if (XQueryPointer(desktop_, DefaultRootWindow(desktop_), &root, &child, &rootX, &rootY,
                      &windowX, &windowY, &mask) == 0) {
        // The pointer is on another screen of the display.
        errors_.setLastError(error::AccessDenied);
        return false;
    }
    position = Point{rootX, rootY};
    return true;
}

bool X11Windows::getMonitorRect(const Point& point, Rect& monitor) const {
    std::lock_guard query(queryMutex_);
    const ::Window root = DefaultRootWindow(desktop_);
    std::vector<Rect> monitors;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // Monitors came with RandR 1.5; an older server gives the whole screen.
    if (XRRQueryExtension(desktop_, &eventBase, &errorBase) != 0 &&
        XRRQueryVersion(desktop_, &major, &minor) != 0 && (major > 1 || minor >= 5)) {
        int count = 0;
        if (XRRMonitorInfo* found = XRRGetMonitors(desktop_, root, True, &count)) {
            for (int i = 0; i < count; ++i) {
                monitors.push_back(Rect{found[i].x, found[i].y, found[i].x + found[i].width,
                                        found[i].y + found[i].height});
            }
            XRRFreeMonitors(found);
        }
    }
    if (monitors.empty()) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(desktop_, root, &attributes) != 0) {
            monitors.push_back(Rect{0, 0, attributes.width, attributes.height});
        }
    }
    const std::optional<Rect> holding = common::Monitors::holding(monitors, point);
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
