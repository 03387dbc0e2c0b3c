#include "windows/hook/Hook.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/hook/HookException.h"

#include <exception>

namespace windows::hook {

using platform::errorresources::SystemErrors;

namespace {

// The entry's address in the entry's own type.
template <typename Function>
Function lookUp(const dll::Dll& library, const std::string& name) {
    return reinterpret_cast<Function>(library.getProc(name));
}

std::string lastErrorText() {
    return SystemErrors::map(os::errors().lastError());
}

}  // namespace

Hook::Hook(int hookType, const std::string& filename, const std::string& procedureName,
           const std::string& initializerName, const std::string& deinitializerName,
           const std::string& isInitiatedName)
    : dll(filename),
      type(hookType),
      procedure(lookUp<os::HookProcedure>(dll, procedureName)),
      initializer(lookUp<InitializerFunction>(dll, initializerName)),
      deinitializer(lookUp<DeinitializerFunction>(dll, deinitializerName)),
      isInitiated(lookUp<IsInitiatedFunction>(dll, isInitiatedName)) {
    if (isInitiated() != 0) {
        throw HookException(
            "An error occured when trying to initialize the hook.\nMost likely the cause is that "
            "another hook is already running.\nCheck function: " +
            isInitiatedName +
            "\n\nTo solve this, please\n1. check if the program is running already. If it is "
            "running, you should see it in the task bar or in the system tray.\n2. close all "
            "running applications and try to start this program again.\n3. if step 2 did not "
            "solve the problem, please try to restart your computer and run this program "
            "again.\n");
    }
}

Hook::~Hook() noexcept(false) {
    if (_hook == 0) {
        return;
    }
    if (std::uncaught_exceptions() > 0) {
        // A second exception now would end the process: report the failure and go on.
        try {
            stop();
        } catch (const exceptions::Exception& e) {
            dll.keepLoaded();
            platform::assertionFailed(e.getMessage(), __FILE__, __LINE__);
        } catch (...) {
            dll.keepLoaded();
            PX_ASSERT(false);
        }
        return;
    }
    try {
        stop();
    } catch (...) {
        dll.keepLoaded();
        throw;
    }
}

int Hook::start(os::WindowHandle window) {
    if (_hook != 0) {
        throw HookException("The hook can't be started when it's already running.");
    }
    const os::ModuleHandle _module = dll.getModule();
    PX_ASSERT(_module != 0);
    const os::HookHandle installed = os::hooks().setWindowsHookEx(type, procedure, _module, 0);
    if (installed == 0) {
        throw HookException("Error creating the hook. " + lastErrorText());
    }
    _hook = installed;
    return initializer(window, _hook);
}

void Hook::stop() {
    PX_ASSERT(_hook != 0);
    if (!os::hooks().unhookWindowsHookEx(_hook)) {
        throw HookException("Error removing the hook. " + lastErrorText());
    }
    _hook = 0;
    deinitializer();
}

}  // namespace windows::hook
