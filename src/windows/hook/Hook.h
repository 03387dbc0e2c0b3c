#pragma once

#include "os/Hooks.h"
#include "windows/dll/Dll.h"
#include "windows/hook/HookLibrary.h"

#include <string>

namespace windows::hook {

// One desktop-wide hook whose procedure lives in the hook library. The library is told which
// window its procedure reports to when the hook starts, and that the hook is gone when it
// stops.
class Hook {
public:
    // Loads the library and looks up the four entries; throws HookException when the
    // library reports this kind of hook as set up already (by this or another program).
    Hook(int hookType, const std::string& filename, const std::string& procedureName,
         const std::string& initializerName, const std::string& deinitializerName,
         const std::string& isInitiatedName);
    // Stops a running hook and lets a failure to remove it pass on; while another exception
    // is on its way the failure is reported as an assertion instead. A hook that could not
    // be removed keeps its library loaded, because the system still calls its procedure.
    // Owners keep hooks where that exception can pass (as members or locals, not in a
    // smart pointer, whose destructor must not throw).
    virtual ~Hook() noexcept(false);
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

    // Installs the hook and hands the window and the hook to the library; returns what the
    // library's initializer returns. Throws HookException.
    virtual int start(os::WindowHandle window);
    // Removes the hook and tells the library. Throws HookException.
    virtual void stop();

    bool isRunning() const { return _hook != 0; }

protected:
    const dll::Dll& library() const { return dll; }

private:
    dll::Dll dll;
    int type;
    os::HookProcedure procedure;
    InitializerFunction initializer;
    DeinitializerFunction deinitializer;
    IsInitiatedFunction isInitiated;
    os::HookHandle _hook = 0;
};

}  // namespace windows::hook
