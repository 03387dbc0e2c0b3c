#pragma once

#include "os/Registry.h"

namespace os::win32 {

// The system registry through its ANSI calls; result codes are the system's own.
class Win32Registry final : public Registry {
public:
    long openKey(RegistryKeyHandle key, const std::string& subKey, std::uint32_t options,
                 std::uint32_t access, RegistryKeyHandle& result) override;
    long createKey(RegistryKeyHandle key, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t access, RegistryKeyHandle& result,
                   std::uint32_t* disposition) override;
    long queryValue(RegistryKeyHandle key, const std::string& valueName, std::uint32_t* type,
                    unsigned char* data, std::uint32_t* size) override;
    long enumValue(RegistryKeyHandle key, std::uint32_t index, std::string& name,
                   std::uint32_t* type, unsigned char* data, std::uint32_t* size) override;
    long setValue(RegistryKeyHandle key, const std::string& valueName, std::uint32_t type,
                  const unsigned char* data, std::uint32_t size) override;
    long deleteValue(RegistryKeyHandle key, const std::string& valueName) override;
    long closeKey(RegistryKeyHandle key) override;
    std::uint32_t expandEnvironmentStrings(const std::string& source, char* destination,
                                           std::uint32_t size) override;
};

}  // namespace os::win32
