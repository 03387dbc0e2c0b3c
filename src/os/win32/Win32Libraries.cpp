#include "os/win32/Win32Libraries.h"

#include <windows.h>

namespace os::win32 {

ModuleHandle Win32Libraries::loadLibrary(const std::string& fileName) {
    if (fileName.empty()) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A missing library is the caller's to report; the system's own box would stop the
    // program until someone answers it.
    const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE library = ::LoadLibraryA(fileName.c_str());
    const DWORD error = ::GetLastError();
    ::SetErrorMode(previousMode);
    if (library == nullptr) {
        ::SetLastError(error);
        return 0;
    }
    const auto module = reinterpret_cast<ModuleHandle>(library);
    std::lock_guard lock(mutex_);
    ++loads_[module];
    return module;
}

bool Win32Libraries::isLoaded(ModuleHandle module) const {
    std::lock_guard lock(mutex_);
    return loads_.count(module) != 0;
}

ProcAddress Win32Libraries::getProcAddress(ModuleHandle module, const std::string& name) {
    if (!isLoaded(module)) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const FARPROC entry = ::GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str());
    return reinterpret_cast<ProcAddress>(entry);
}

bool Win32Libraries::freeLibrary(ModuleHandle module) {
    {
        std::lock_guard lock(mutex_);
        const auto found = loads_.find(module);
        if (found == loads_.end()) {
            ::SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        if (--found->second == 0) {
            loads_.erase(found);
        }
    }
    return ::FreeLibrary(reinterpret_cast<HMODULE>(module)) != FALSE;
}

}  // namespace os::win32
