#pragma once

#include "windows/registry/RegistryTypes.h"

#include <string>

namespace windows::registry {

// "HKEY_CURRENT_USER" and the like; an unknown handle is reported and named
// "DUMMY_TO_AVOID_WARNING".
std::string rootKeyName(HKEY root);
// The text with each %NAME% replaced by the environment's value. Throws RegistryException.
std::string expandEnvironmentVariables(const std::string& text);
// False when the key or the value does not exist; other failures throw.
bool registryValueExists(HKEY root, const std::string& subkey, const std::string& valueName);

}  // namespace windows::registry
