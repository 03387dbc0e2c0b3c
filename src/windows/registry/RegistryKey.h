#pragma once

#include "windows/registry/RegistryTypes.h"

#include <string>

namespace windows::registry {

// An open registry key.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual HKEY getHandle() const = 0;
    // The root's name and the path below it, as messages show the key.
    virtual const std::string& getName() const = 0;
};

}  // namespace windows::registry
