#pragma once

#include <string>
#include <utility>
#include <vector>

namespace windows::registry {

// Reads the values of one open key.
class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    virtual std::string readString(const std::string& valueName) = 0;
    virtual int readInt(const std::string& valueName) = 0;
    virtual bool valueExists(const std::string& valueName) = 0;
    // Every text value as (name, text), in the key's order.
    virtual std::vector<std::pair<std::string, std::string>> readAllStrings() = 0;
};

}  // namespace windows::registry
