#pragma once

#include <cstdint>
#include <string>

namespace os {

// A loaded library; 0 is "none".
using ModuleHandle = std::uintptr_t;
// The address of a library's entry, to be converted to the entry's own signature.
using ProcAddress = void (*)();

// Libraries loaded at run time by file name. Failures leave the reason in the last error,
// with the system's own words for it as the error text.
class Libraries {
public:
    virtual ~Libraries() = default;

    // A name without a directory is looked up as the system looks up libraries: in the
    // program's directory first, then on the system's library path, then in the current
    // directory. Loading a library that is loaded already counts it once more; 0 on failure.
    virtual ModuleHandle loadLibrary(const std::string& fileName) = 0;
    // nullptr when the library has no entry of that name.
    virtual ProcAddress getProcAddress(ModuleHandle module, const std::string& name) = 0;
    // Undoes one load; the library leaves the process with its last load.
    virtual bool freeLibrary(ModuleHandle module) = 0;
};

}  // namespace os
