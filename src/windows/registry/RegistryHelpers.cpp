#include "windows/registry/RegistryHelpers.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

#include <cstring>
#include <vector>

namespace windows::registry {

namespace {

[[noreturn]] void throwExpandFailure() {
    throw RegistryException("Error when expanding enviromental varible.\n\n" +
                            platform::errorresources::SystemErrors::map(os::errors().lastError()));
}

}  // namespace

std::string rootKeyName(HKEY root) {
    switch (root) {
        case HKEY_CLASSES_ROOT:
            return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER:
            return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE:
            return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS:
            return "HKEY_USERS";
        case HKEY_CURRENT_CONFIG:
            return "HKEY_CURRENT_CONFIG";
        default:
            PX_ASSERT(false);
            return "DUMMY_TO_AVOID_WARNING";
    }
}

std::string expandEnvironmentVariables(const std::string& text) {
    const std::uint32_t expandedSize = os::registry().expandEnvironmentStrings(text, nullptr, 0);
    if (expandedSize == 0) {
        throwExpandFailure();
    }
    std::vector<char> buffer(expandedSize, '\0');
    const std::uint32_t pathSize =
        os::registry().expandEnvironmentStrings(text, buffer.data(), expandedSize);
    if (pathSize == 0) {
        throwExpandFailure();
    }
    PX_ASSERT(pathSize == expandedSize - 1);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

bool registryValueExists(HKEY root, const std::string& subkey, const std::string& valueName) {
    try {
        RegistryKeyImpl key(root, subkey, KEY_READ, OpenExisting);
        RegistryReaderImpl reader(key);
        return reader.valueExists(valueName);
    } catch (const RegistryKeyNotFoundException&) {
        return false;
    }
}

}  // namespace windows::registry
