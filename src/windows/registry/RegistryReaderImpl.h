#pragma once

#include "windows/registry/RegistryKey.h"
#include "windows/registry/RegistryReader.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace windows::registry {

// Reads through a key it does not own. Failures throw the registry exceptions; a value
// that does not exist is RegistryValueNotFoundException.
class RegistryReaderImpl final : public RegistryReader {
public:
    // Texts longer than this, their zero included, cannot be read.
    static constexpr std::uint32_t BufferSize = 2048;

    explicit RegistryReaderImpl(RegistryKey& registryKey) : key(registryKey) {}

    // The text up to its first zero; of a list of texts the first one; a text with
    // environment references comes expanded.
    std::string readString(const std::string& valueName) override;
    // A 32-bit value; a shorter one has its upper bytes zero.
    int readInt(const std::string& valueName) override;
    bool valueExists(const std::string& valueName) override;
    std::vector<std::pair<std::string, std::string>> readAllStrings() override;

private:
    // Reads the value into the buffer; returns its type and leaves its size in `size`.
    std::uint32_t readValue(const std::string& valueName, unsigned char* buffer,
                            std::uint32_t& size);
    std::string entry(const std::string& valueName) const;

    RegistryKey& key;
};

}  // namespace windows::registry
