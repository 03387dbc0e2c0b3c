#include "os/win32/Win32Windows.h"

#include <windows.h>

namespace os::win32 {

namespace {

// The procedures of every class the program registered, shared by all the objects of the
// process, as the system's class table is.
std::mutex proceduresMutex;
std::map<unsigned short, WindowProcedure>& procedures() {
    static std::map<unsigned short, WindowProcedure> table;
    return table;
}

HWND toWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

WindowHandle fromWindow(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

HINSTANCE instanceOr(InstanceHandle instance) {
    return instance != 0 ? reinterpret_cast<HINSTANCE>(instance) : ::GetModuleHandleA(nullptr);
}

LRESULT CALLBACK route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto atom = static_cast<unsigned short>(::GetClassWord(window, GCW_ATOM));
    const WindowProcedure procedure = Win32Windows::procedureOf(atom);
    if (procedure == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return procedure(fromWindow(window), message, wParam, lParam);
}

MSG toMsg(const Message& message) {
    MSG msg{};
    msg.hwnd = toWindow(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    msg.time = static_cast<DWORD>(::GetMessageTime());
    return msg;
}

Rect fromRect(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

WindowProcedure Win32Windows::procedureOf(unsigned short atom) {
    std::lock_guard lock(proceduresMutex);
    const auto found = procedures().find(atom);
    return found != procedures().end() ? found->second : nullptr;
}

Win32Windows::~Win32Windows() {
    std::lock_guard lock(mutex_);
    for (const auto& [key, registered] : classes_) {
        ::UnregisterClassA(key.first.c_str(), instanceOr(key.second));
        if (registered.brush != 0) {
            ::DeleteObject(reinterpret_cast<HBRUSH>(registered.brush));
        }
        std::lock_guard procedureLock(proceduresMutex);
        procedures().erase(registered.atom);
    }
}

bool Win32Windows::registerClass(const WindowClass& windowClass) {
    WNDCLASSEXA description{};
    description.cbSize = sizeof description;
    description.style = windowClass.style;
    description.lpfnWndProc = &route;
    description.cbClsExtra = windowClass.classExtraBytes;
    description.cbWndExtra = windowClass.windowExtraBytes;
    description.hInstance = instanceOr(windowClass.instance);
    description.hIcon = reinterpret_cast<HICON>(windowClass.icon);
    description.hCursor = windowClass.cursor != 0 ? reinterpret_cast<HCURSOR>(windowClass.cursor)
                                                  : ::LoadCursorA(nullptr, IDC_ARROW);
    HBRUSH brush = nullptr;
    if (windowClass.background) {
        brush = ::CreateSolidBrush(*windowClass.background);
    }
    description.hbrBackground = brush;
    description.lpszMenuName =
        windowClass.menuName.empty() ? nullptr : windowClass.menuName.c_str();
    description.lpszClassName = windowClass.className.c_str();

    // The procedure must be known before the first message, which comes during creation.
    std::lock_guard lock(mutex_);
    const ATOM atom = ::RegisterClassExA(&description);
    if (atom == 0) {
        const DWORD error = ::GetLastError();
        if (brush != nullptr) {
            ::DeleteObject(brush);
        }
        ::SetLastError(error);
        return false;
    }
    {
        std::lock_guard procedureLock(proceduresMutex);
        procedures()[atom] = windowClass.procedure;
    }
    classes_[{windowClass.className, windowClass.instance}] =
        RegisteredClass{atom, reinterpret_cast<std::uintptr_t>(brush)};
    return true;
}

bool Win32Windows::unregisterClass(const std::string& className, InstanceHandle instance) {
    if (!::UnregisterClassA(className.c_str(), instanceOr(instance))) {
        return false;
    }
    std::lock_guard lock(mutex_);
    const auto found = classes_.find({className, instance});
    if (found != classes_.end()) {
        if (found->second.brush != 0) {
            ::DeleteObject(reinterpret_cast<HBRUSH>(found->second.brush));
        }
        std::lock_guard procedureLock(proceduresMutex);
        procedures().erase(found->second.atom);
        classes_.erase(found);
    }
    return true;
}

WindowHandle Win32Windows::createWindow(const WindowCreation& creation) {
    const HWND window = ::CreateWindowExA(
        creation.extendedStyle, creation.className.c_str(), creation.title.c_str(), creation.style,
        creation.x, creation.y, creation.width, creation.height, toWindow(creation.parent), nullptr,
        instanceOr(creation.instance), nullptr);
    return fromWindow(window);
}

bool Win32Windows::destroyWindow(WindowHandle window) {
    return ::DestroyWindow(toWindow(window)) != FALSE;
}

bool Win32Windows::isWindow(WindowHandle window) const {
    return window != 0 && ::IsWindow(toWindow(window)) != FALSE;
}

bool Win32Windows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    // A null window would post to the calling thread instead of failing.
    if (window == 0) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return ::PostMessageA(toWindow(window), message, wParam, lParam) != FALSE;
}

void Win32Windows::postQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

bool Win32Windows::peekMessage(Message& message, bool remove) {
    MSG msg{};
    if (!::PeekMessageA(&msg, nullptr, 0, 0, remove ? PM_REMOVE : PM_NOREMOVE)) {
        return false;
    }
    message.window = fromWindow(msg.hwnd);
    message.message = msg.message;
    message.wParam = msg.wParam;
    message.lParam = msg.lParam;
    return true;
}

bool Win32Windows::waitMessage(std::chrono::milliseconds timeout) {
    MSG msg{};
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        return true;
    }
    const auto milliseconds = timeout.count() < 0 ? 0 : timeout.count();
    const DWORD wait = milliseconds >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(milliseconds);
    // Wakes for messages already seen but not taken too, so none is left waiting.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

bool Win32Windows::translateMessage(const Message& message) {
    const MSG msg = toMsg(message);
    return ::TranslateMessage(&msg) != FALSE;
}

std::intptr_t Win32Windows::dispatchMessage(const Message& message) {
    const MSG msg = toMsg(message);
    return ::DispatchMessageA(&msg);
}

std::intptr_t Win32Windows::defWindowProc(WindowHandle window, unsigned int message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
    return ::DefWindowProcA(toWindow(window), message, wParam, lParam);
}

bool Win32Windows::getWindowRect(WindowHandle window, Rect& rect) const {
    RECT systemRect{};
    if (!::GetWindowRect(toWindow(window), &systemRect)) {
        return false;
    }
    rect = fromRect(systemRect);
    return true;
}

unsigned Win32Windows::getWindowStyle(WindowHandle window) const {
    if (!isWindow(window)) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<unsigned>(::GetWindowLongA(toWindow(window), GWL_STYLE));
}

bool Win32Windows::showWindow(WindowHandle window, int command) {
    return ::ShowWindow(toWindow(window), command) != FALSE;
}

bool Win32Windows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                int width, int height, unsigned flags) {
    return ::SetWindowPos(toWindow(window), toWindow(insertAfter), x, y, width, height, flags) !=
           FALSE;
}

bool Win32Windows::setForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(toWindow(window)) != FALSE;
}

WindowHandle Win32Windows::getForegroundWindow() const {
    return fromWindow(::GetForegroundWindow());
}

int Win32Windows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    if (maxCount <= 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string buffer(static_cast<std::size_t>(maxCount), '\0');
    // An empty title and a failure both answer 0; the last error tells them apart.
    ::SetLastError(ERROR_SUCCESS);
    const int length = ::GetWindowTextA(toWindow(window), buffer.data(), maxCount);
    text.assign(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0U);
    return length > 0 ? length : 0;
}

int Win32Windows::getClassName(WindowHandle window, std::string& name, int maxCount) const {
    if (maxCount <= 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string buffer(static_cast<std::size_t>(maxCount), '\0');
    const int length = ::GetClassNameA(toWindow(window), buffer.data(), maxCount);
    name.assign(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0U);
    return length > 0 ? length : 0;
}

WindowHandle Win32Windows::findWindow(const std::string& className) const {
    return fromWindow(::FindWindowA(className.c_str(), nullptr));
}

bool Win32Windows::getCursorPos(Point& position) const {
    POINT point{};
    if (!::GetCursorPos(&point)) {
        return false;
    }
    position = Point{point.x, point.y};
    return true;
}

bool Win32Windows::getMonitorRect(const Point& point, Rect& monitor) const {
    const HMONITOR found = ::MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (found == nullptr || !::GetMonitorInfoA(found, &info)) {
        return false;
    }
    monitor = fromRect(info.rcMonitor);
    return true;
}

}  // namespace os::win32
