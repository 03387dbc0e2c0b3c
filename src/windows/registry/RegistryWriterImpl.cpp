#include "windows/registry/RegistryWriterImpl.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/registry/RegistryException.h"

#include <array>

namespace windows::registry {

namespace {

std::string errorText(long code) {
    return platform::errorresources::SystemErrors::map(static_cast<int>(code));
}

}  // namespace

void RegistryWriterImpl::setValue(const std::string& valueName, std::uint32_t type,
                                  const unsigned char* data, std::uint32_t size) {
    const long result = os::registry().setValue(key.getHandle(), valueName, type, data, size);
    const std::string value = key.getName() + "\\" + valueName;
    if (result == os::error::AccessDenied) {
        throw RegistryAccessDeniedException(
            "Error when setting a registry value, access is denied. Value: " + value + " \n\n" +
            errorText(result));
    }
    if (result != os::error::Success) {
        throw RegistryException("Error when setting a registry value. Value: " + value + "\n\n" +
                                errorText(result));
    }
}

void RegistryWriterImpl::writeString(const std::string& valueName, const std::string& text) {
    // The size counts the terminating zero that c_str() provides.
    setValue(valueName, REG_SZ, reinterpret_cast<const unsigned char*>(text.c_str()),
             static_cast<std::uint32_t>(text.size() + 1));
}

void RegistryWriterImpl::writeInt(const std::string& valueName, std::uint32_t type, int value) {
    PX_ASSERT(type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_BIG_ENDIAN);
    const auto bits = static_cast<std::uint32_t>(value);
    const std::array<unsigned char, 4> data{static_cast<unsigned char>(bits & 0xFFU),
                                            static_cast<unsigned char>(bits >> 8U & 0xFFU),
                                            static_cast<unsigned char>(bits >> 16U & 0xFFU),
                                            static_cast<unsigned char>(bits >> 24U & 0xFFU)};
    setValue(valueName, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

void RegistryWriterImpl::deleteValue(const std::string& valueName) {
    const long result = os::registry().deleteValue(key.getHandle(), valueName);
    const std::string entry = key.getName() + "\\" + valueName;
    if (result == os::error::AccessDenied) {
        throw RegistryAccessDeniedException("Error deleting the value, access is denied. Entry: " +
                                            entry + "\n\n" + errorText(result));
    }
    if (result == os::error::FileNotFound) {
        throw RegistryValueNotFoundException(
            "Error when deleteing the registry value. The value did not exist. Entry: " + entry +
            "\n\n" + errorText(result));
    }
    if (result != os::error::Success) {
        throw RegistryException("Error when deleteing a value. Entry: " + entry + "\n\n" +
                                errorText(result));
    }
}

}  // namespace windows::registry
