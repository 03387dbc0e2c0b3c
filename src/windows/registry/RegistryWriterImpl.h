#pragma once

#include "windows/registry/RegistryKey.h"
#include "windows/registry/RegistryWriter.h"

#include <cstdint>
#include <string>

namespace windows::registry {

// Writes through a key it does not own. Failures throw the registry exceptions.
class RegistryWriterImpl final : public RegistryWriter {
public:
    explicit RegistryWriterImpl(RegistryKey& registryKey) : key(registryKey) {}

    // A text value with its terminating zero.
    void writeString(const std::string& valueName, const std::string& text) override;
    // Four bytes, least significant first, whatever the type.
    void writeInt(const std::string& valueName, std::uint32_t type, int value) override;
    // A value that does not exist is RegistryValueNotFoundException.
    void deleteValue(const std::string& valueName) override;

private:
    void setValue(const std::string& valueName, std::uint32_t type, const unsigned char* data,
                  std::uint32_t size);

    RegistryKey& key;
};

}  // namespace windows::registry
