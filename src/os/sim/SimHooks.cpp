#include "os/sim/SimHooks.h"

#include "os/ErrorCodes.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "os/common/HookRequest.h"
#include "os/sim/SimSystemCalls.h"

#include <algorithm>

namespace os::sim {

namespace {

// Where the pointer is over a window's client area.
constexpr unsigned HitClient = 1;

// The key data the system hands a keyboard hook.
std::uint32_t keyData(const InputEvent& event, bool wasDown, bool altDown) {
    std::uint32_t data = 1;  // repeat count
    data |= (event.scanCode & 0xFFU) << 16;
    data |= event.extended ? 1U << 24 : 0U;
    data |= altDown ? 1U << 29 : 0U;
    data |= wasDown ? 1U << 30 : 0U;
    data |= event.released ? 1U << 31 : 0U;
    return data;
}

}  // namespace

SimHooks::SimHooks(Errors& errors, SimInput& input, SimKeyboard& keyboard, SimWindows& windows)
    : errors_(errors), input_(input), keyboard_(keyboard), windows_(windows) {
    keyWatcher_ = input_.watchKeys([this](const InputEvent& event) { onKey(event); });
    buttonWatcher_ = input_.watchLeftButton([this](bool pressed) { onLeftButton(pressed); });
}

SimHooks::~SimHooks() {
    input_.unwatch(keyWatcher_);
    input_.unwatch(buttonWatcher_);
}

HookHandle SimHooks::setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                      ThreadId thread) {
    std::lock_guard lock(mutex_);
    // The simulated input has no threads of its own to watch one by one.
    int failure = common::HookRequest::check(type, procedure, module, thread);
    if (failure == error::Success) {
        failure = installationFailure_;
    }
    if (failure != error::Success) {
        errors_.setLastError(failure);
        return 0;
    }
    const HookHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    hooks_.insert(hooks_.begin(), Hook{handle, type, procedure});
    return handle;
}

bool SimHooks::unhookWindowsHookEx(HookHandle hook) {
    std::lock_guard running(running_);
    std::lock_guard lock(mutex_);
    if (removalFailure_ != error::Success) {
        errors_.setLastError(removalFailure_);
        return false;
    }
    const auto found = std::find_if(hooks_.begin(), hooks_.end(), [&](const Hook& installed) {
        return installed.handle == hook;
    });
    if (found == hooks_.end()) {
        errors_.setLastError(error::InvalidHookHandle);
        return false;
    }
    hooks_.erase(found);
    return true;
}

HookProcedure SimHooks::next(int type, HookHandle hook) const {
    std::lock_guard lock(mutex_);
    bool passed = hook == 0;
    for (const Hook& installed : hooks_) {
        if (installed.type != type) {
            continue;
        }
        if (passed) {
            return installed.procedure;
        }
        passed = installed.handle == hook;
    }
    return nullptr;
}

std::intptr_t SimHooks::callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    int type = 0;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(hooks_.begin(), hooks_.end(), [&](const Hook& installed) {
            return installed.handle == hook;
        });
        if (found == hooks_.end()) {
            return 0;  // removed while the event was on its way: the chain ends here
        }
        type = found->type;
    }
    const HookProcedure procedure = next(type, hook);
    return procedure != nullptr ? procedure(code, wParam, lParam) : 0;
}

void SimHooks::dispatch(int type, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard running(running_);
    if (const HookProcedure first = next(type, 0)) {
        first(hc::Action, wParam, lParam);
    }
}

void SimHooks::onKey(const InputEvent& event) {
    bool wasDown = event.released;  // a release always follows a down key
    if (event.virtualKey >= 0 && event.virtualKey < static_cast<int>(down_.size())) {
        std::lock_guard lock(mutex_);
        wasDown = wasDown || down_[event.virtualKey];
        down_[event.virtualKey] = !event.released;
    }
    const std::uint32_t data = keyData(event, wasDown, keyboard_.isKeyDown(vk::Menu));
    dispatch(wh::Keyboard, static_cast<std::uintptr_t>(event.virtualKey),
             static_cast<std::intptr_t>(data));
}

void SimHooks::onLeftButton(bool pressed) {
    MouseHookStruct info;
    windows_.getCursorPos(info.point);
    info.window = windows_.getForegroundWindow();
    info.hitTestCode = HitClient;
    dispatch(wh::Mouse, pressed ? wm::LButtonDown : wm::LButtonUp,
             reinterpret_cast<std::intptr_t>(&info));
}

void SimHooks::failInstallations(int errorCode) {
    std::lock_guard lock(mutex_);
    installationFailure_ = errorCode;
}

void SimHooks::failRemovals(int errorCode) {
    std::lock_guard lock(mutex_);
    removalFailure_ = errorCode;
}

std::size_t SimHooks::installedHooks(int type) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(hooks_.begin(), hooks_.end(),
                      [&](const Hook& installed) { return installed.type == type; }));
}

void* SimHooks::sharedSection(const std::string& name, std::size_t size) {
    if (name.empty() || size == 0) {
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    Section& section = sections_[name];
    if (!section.memory) {
        section.memory = std::make_unique<std::byte[]>(size);  // zero-filled
        section.size = size;
    }
    return section.size >= size ? section.memory.get() : nullptr;
}

}  // namespace os::sim

// The desktop's calls for the libraries it loads. They reach the installed platform, so a
// library always talks to the desktop of the test that runs.

extern "C" int SimPostMessageA(std::uintptr_t window, unsigned int message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    os::Windows* windows = os::installed().windows;
    return windows != nullptr && windows->postMessage(window, message, wParam, lParam) ? 1 : 0;
}

extern "C" std::intptr_t SimCallNextHookEx(std::uintptr_t hook, int code, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
    os::Hooks* hooks = os::installed().hooks;
    return hooks != nullptr ? hooks->callNextHookEx(hook, code, wParam, lParam) : 0;
}

extern "C" void* SimSharedSection(const char* name, std::size_t size) {
    auto* hooks = dynamic_cast<os::sim::SimHooks*>(os::installed().hooks);
    return hooks != nullptr && name != nullptr ? hooks->sharedSection(name, size) : nullptr;
}
