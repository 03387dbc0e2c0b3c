#pragma once

#include "os/Libraries.h"

#include <string>

namespace windows::dll {

// One loaded library. Every holder loads the file on its own; the library leaves the
// process when its last holder is gone.
class Dll {
public:
    // Throws DllNotFoundException when the library cannot be loaded.
    explicit Dll(const std::string& filename);
    virtual ~Dll();
    Dll(const Dll&) = delete;
    Dll& operator=(const Dll&) = delete;

    // The entry's address; throws ProcNotFoundException when the library has no such entry.
    os::ProcAddress getProc(const std::string& procname) const;

    const std::string& getFilename() const { return _filename; }
    os::ModuleHandle getModule() const { return _module; }

    // Leaves the library in the process when this object goes, for code of it that the
    // system may still call (a hook that could not be removed).
    void keepLoaded() { loadedForGood = true; }

private:
    std::string _filename;
    os::ModuleHandle _module = 0;
    bool loadedForGood = false;
};

}  // namespace windows::dll
