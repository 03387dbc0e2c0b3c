#include "windows/registry/RegistryKeyImpl.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryHelpers.h"

namespace windows::registry {

namespace {

std::string errorText(long code) {
    return platform::errorresources::SystemErrors::map(static_cast<int>(code));
}

}  // namespace

RegistryKeyImpl::RegistryKeyImpl(HKEY rootKey, const std::string& subkeyPath,
                                 std::uint32_t securityAccess, int mode)
    : root(rootKey), subkey(subkeyPath), name(rootKeyName(rootKey) + "\\" + subkeyPath) {
    switch (mode) {
        case OpenExisting:
            open(securityAccess);
            break;
        case CreateOrOpen:
            create(securityAccess);
            break;
        default:
            PX_ASSERT(false);
            break;
    }
}

RegistryKeyImpl::~RegistryKeyImpl() {
    if (_key != 0) {
        const long result = os::registry().closeKey(_key);
        PX_ASSERT(result == os::error::Success);
    }
}

HKEY RegistryKeyImpl::getHandle() const {
    PX_ASSERT(_key != 0);
    return _key;
}

void RegistryKeyImpl::open(std::uint32_t securityAccess) {
    PX_ASSERT(_key == 0);
    HKEY opened = 0;
    const long result = os::registry().openKey(root, subkey, 0, securityAccess, opened);
    if (result == os::error::AccessDenied) {
        throw RegistryAccessDeniedException(
            "Error when opening a registry key, access is denied. Key: " + name + "\n\n" +
            errorText(result));
    }
    if (result == os::error::FileNotFound) {
        throw RegistryKeyNotFoundException(
            "Error when opening a registry key, the key doesn't exist. Key: " + name + "\n\n" +
            errorText(result));
    }
    if (result != os::error::Success) {
        throw RegistryException("Error when opening a registry key. Key: " + name + "\n\n" +
                                errorText(result));
    }
    _key = opened;
}

void RegistryKeyImpl::create(std::uint32_t securityAccess) {
    PX_ASSERT(_key == 0);
    PX_ASSERT(securityAccess & KEY_CREATE_SUB_KEY);
    HKEY created = 0;
    const long result = os::registry().createKey(root, subkey, "", os::reg::OptionNonVolatile,
                                                 securityAccess, created, nullptr);
    if (result == os::error::AccessDenied) {
        throw RegistryAccessDeniedException(
            "Error when creating a registry key, access is denied. Key: " + name + "\n\n" +
            errorText(result));
    }
    if (result != os::error::Success) {
        throw RegistryException("Error when creating a registry key. Key: " + name + "\n\n" +
                                errorText(result));
    }
    _key = created;
}

}  // namespace windows::registry
