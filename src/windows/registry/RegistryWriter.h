#pragma once

#include <cstdint>
#include <string>

namespace windows::registry {

// Writes the values of one open key.
class RegistryWriter {
public:
    virtual ~RegistryWriter() = default;
    virtual void writeString(const std::string& valueName, const std::string& text) = 0;
    virtual void writeInt(const std::string& valueName, std::uint32_t type, int value) = 0;
    virtual void deleteValue(const std::string& valueName) = 0;
};

}  // namespace windows::registry
