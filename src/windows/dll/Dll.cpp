#include "windows/dll/Dll.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/dll/DllExceptions.h"

namespace windows::dll {

using platform::errorresources::SystemErrors;

Dll::Dll(const std::string& filename) : _filename(filename) {
    _module = os::libraries().loadLibrary(_filename);
    // Taken before anything else can overwrite the reason.
    const std::string reason = _module == 0 ? SystemErrors::map(os::errors().lastError()) : "";
    PX_ASSERT(_filename != "");
    if (_module == 0) {
        throw DllNotFoundException("Couldn't load the dll: " + _filename + "\n" + reason);
    }
}

Dll::~Dll() {
    PX_ASSERT(_module != 0);
    if (loadedForGood) {
        return;
    }
    if (!os::libraries().freeLibrary(_module)) {
        PX_ASSERT(false);
    }
}

os::ProcAddress Dll::getProc(const std::string& procname) const {
    PX_ASSERT(_module != 0);
    PX_ASSERT(procname != "");
    const os::ProcAddress address = os::libraries().getProcAddress(_module, procname);
    if (address == nullptr) {
        throw ProcNotFoundException("Couldn't find the proc when getting it. Dll: " + _filename +
                                    " Proc: " + procname + "\n" +
                                    SystemErrors::map(os::errors().lastError()));
    }
    return address;
}

}  // namespace windows::dll
