#include "os/win32/Win32Registry.h"

#include <windows.h>

namespace os::win32 {

namespace {

// The program numbers the predefined roots as 32-bit values; a 64-bit system's own handles
// for them are those values sign-extended.
HKEY toKey(RegistryKeyHandle key) {
    switch (key) {
        case hkey::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case hkey::CurrentUser:
            return HKEY_CURRENT_USER;
        case hkey::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case hkey::Users:
            return HKEY_USERS;
        case hkey::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
        default:
            return reinterpret_cast<HKEY>(key);
    }
}

// The interface's 32-bit sizes and types are the system's DWORDs.
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

DWORD* asDword(std::uint32_t* value) {
    return reinterpret_cast<DWORD*>(value);
}

}  // namespace

long Win32Registry::openKey(RegistryKeyHandle key, const std::string& subKey, std::uint32_t options,
                            std::uint32_t access, RegistryKeyHandle& result) {
    HKEY opened = nullptr;
    const LONG code = ::RegOpenKeyExA(toKey(key), subKey.c_str(), options, access, &opened);
    result = code == ERROR_SUCCESS ? reinterpret_cast<RegistryKeyHandle>(opened) : 0;
    return code;
}

long Win32Registry::createKey(RegistryKeyHandle key, const std::string& subKey,
                              const std::string& keyClass, std::uint32_t options,
                              std::uint32_t access, RegistryKeyHandle& result,
                              std::uint32_t* disposition) {
    HKEY created = nullptr;
    std::string className = keyClass;
    const LONG code = ::RegCreateKeyExA(toKey(key), subKey.c_str(), 0,
                                        className.empty() ? nullptr : className.data(), options,
                                        access, nullptr, &created, asDword(disposition));
    result = code == ERROR_SUCCESS ? reinterpret_cast<RegistryKeyHandle>(created) : 0;
    return code;
}

long Win32Registry::queryValue(RegistryKeyHandle key, const std::string& valueName,
                               std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    return ::RegQueryValueExA(toKey(key), valueName.c_str(), nullptr, asDword(type), data,
                              asDword(size));
}

long Win32Registry::enumValue(RegistryKeyHandle key, std::uint32_t index, std::string& name,
                              std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    // The longest value name the registry allows, and its terminating zero.
    char buffer[16384];
    DWORD length = sizeof buffer;
    const LONG code = ::RegEnumValueA(toKey(key), index, buffer, &length, nullptr, asDword(type),
                                      data, asDword(size));
    if (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
        name.assign(buffer, length);
    }
    return code;
}

long Win32Registry::setValue(RegistryKeyHandle key, const std::string& valueName,
                             std::uint32_t type, const unsigned char* data, std::uint32_t size) {
    return ::RegSetValueExA(toKey(key), valueName.c_str(), 0, type, data, size);
}

long Win32Registry::deleteValue(RegistryKeyHandle key, const std::string& valueName) {
    return ::RegDeleteValueA(toKey(key), valueName.c_str());
}

long Win32Registry::closeKey(RegistryKeyHandle key) {
    return ::RegCloseKey(toKey(key));
}

std::uint32_t Win32Registry::expandEnvironmentStrings(const std::string& source, char* destination,
                                                      std::uint32_t size) {
    return ::ExpandEnvironmentStringsA(source.c_str(), destination, size);
}

}  // namespace os::win32
