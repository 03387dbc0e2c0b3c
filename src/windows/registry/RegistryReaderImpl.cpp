#include "windows/registry/RegistryReaderImpl.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryHelpers.h"

#include <array>
#include <cstring>

namespace windows::registry {

namespace {

std::string errorText(long code) {
    return platform::errorresources::SystemErrors::map(static_cast<int>(code));
}

std::string textOf(const unsigned char* buffer, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(buffer);
    return std::string(text, strnlen(text, size));
}

[[noreturn]] void throwReadFailure(long result, const std::string& entry) {
    if (result == os::error::AccessDenied) {
        throw RegistryAccessDeniedException(
            "Error when reading a registry key, access is denied. Entry: " + entry + "\n\n" +
            errorText(result));
    }
    if (result == os::error::FileNotFound) {
        throw RegistryValueNotFoundException(
            "Error when reading a registry key, the value doesn't exist. Entry: " + entry + "\n\n" +
            errorText(result));
    }
    throw RegistryException("Error when reading a registry key. Entry: " + entry + "\n\n" +
                            errorText(result));
}

}  // namespace

std::string RegistryReaderImpl::entry(const std::string& valueName) const {
    return key.getName() + "\\" + valueName;
}

std::uint32_t RegistryReaderImpl::readValue(const std::string& valueName, unsigned char* buffer,
                                            std::uint32_t& size) {
    std::uint32_t type = 0;
    const long result = os::registry().queryValue(key.getHandle(), valueName, &type, buffer, &size);
    if (result != os::error::Success) {
        throwReadFailure(result, entry(valueName));
    }
    return type;
}

std::string RegistryReaderImpl::readString(const std::string& valueName) {
    std::array<unsigned char, BufferSize> buffer{};
    std::uint32_t size = BufferSize;
    const std::uint32_t type = readValue(valueName, buffer.data(), size);
    PX_ASSERT(type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ);
    const std::string text = textOf(buffer.data(), size);
    if (type == REG_EXPAND_SZ) {
        return expandEnvironmentVariables(text);
    }
    return text;
}

int RegistryReaderImpl::readInt(const std::string& valueName) {
    std::array<unsigned char, 4> buffer{};
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    const std::uint32_t type = readValue(valueName, buffer.data(), size);
    PX_ASSERT(type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_LITTLE_ENDIAN);
    PX_ASSERT(size <= sizeof(int));
    const std::uint32_t value =
        static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8U |
        static_cast<std::uint32_t>(buffer[2]) << 16U | static_cast<std::uint32_t>(buffer[3]) << 24U;
    return static_cast<int>(value);
}

bool RegistryReaderImpl::valueExists(const std::string& valueName) {
    // Asked for the size only, so that a value too long for the read buffer still exists.
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const long result =
        os::registry().queryValue(key.getHandle(), valueName, &type, nullptr, &size);
    if (result == os::error::Success) {
        return true;
    }
    try {
        throwReadFailure(result, entry(valueName));
    } catch (const RegistryValueNotFoundException&) {
        return false;
    }
}

std::vector<std::pair<std::string, std::string>> RegistryReaderImpl::readAllStrings() {
    std::vector<std::pair<std::string, std::string>> strings;
    for (std::uint32_t index = 0;; ++index) {
        std::array<unsigned char, BufferSize> buffer{};
        std::uint32_t size = BufferSize;
        std::uint32_t type = 0;
        std::string name;
        const long result =
            os::registry().enumValue(key.getHandle(), index, name, &type, buffer.data(), &size);
        if (result == os::error::NoMoreItems) {
            return strings;
        }
        if (result == os::error::AccessDenied) {
            throw RegistryAccessDeniedException(
                "Error when reading a registry key while enumerating a value, access is denied. "
                "Entry: " +
                entry(name) + "\n\n" + errorText(result));
        }
        if (result == os::error::FileNotFound) {
            throw RegistryValueNotFoundException(
                "Error when reading a registry key, the value doesn't exist. Entry: " +
                entry(name) + "\n\n" + errorText(result));
        }
        if (result != os::error::Success) {
            throw RegistryException(
                "Error when reading a registry key while enumerating a value. Entry: " +
                entry(name) + "\n\n" + errorText(result));
        }
        if (type == REG_SZ) {
            strings.emplace_back(name, textOf(buffer.data(), size));
        } else if (type == REG_EXPAND_SZ) {
            strings.emplace_back(name, expandEnvironmentVariables(textOf(buffer.data(), size)));
        }
    }
}

}  // namespace windows::registry
