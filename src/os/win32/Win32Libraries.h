#pragma once

#include "os/Libraries.h"

#include <map>
#include <mutex>

namespace os::win32 {

// Dynamic-link libraries through the system loader, which searches the program's directory
// first. Only handles this object gave out are accepted: a stale or made-up handle is refused
// rather than handed to the loader, which would read through it.
class Win32Libraries final : public Libraries {
public:
    Win32Libraries() = default;
    Win32Libraries(const Win32Libraries&) = delete;
    Win32Libraries& operator=(const Win32Libraries&) = delete;

    ModuleHandle loadLibrary(const std::string& fileName) override;
    ProcAddress getProcAddress(ModuleHandle module, const std::string& name) override;
    bool freeLibrary(ModuleHandle module) override;

private:
    bool isLoaded(ModuleHandle module) const;

    mutable std::mutex mutex_;
    // Loads not yet undone, per library.
    std::map<ModuleHandle, int> loads_;
};

}  // namespace os::win32
