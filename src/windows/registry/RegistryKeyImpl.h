#pragma once

#include "windows/registry/RegistryKey.h"

#include <cstdint>
#include <string>

namespace windows::registry {

// A key that is open from construction to destruction: opened as it is (mode OpenExisting)
// or made when missing (mode CreateOrOpen). Failures throw the registry exceptions.
class RegistryKeyImpl final : public RegistryKey {
public:
    RegistryKeyImpl(HKEY rootKey, const std::string& subkeyPath, std::uint32_t securityAccess,
                    int mode);
    ~RegistryKeyImpl() override;
    RegistryKeyImpl(const RegistryKeyImpl&) = delete;
    RegistryKeyImpl& operator=(const RegistryKeyImpl&) = delete;

    HKEY getHandle() const override;
    const std::string& getName() const override { return name; }

private:
    void open(std::uint32_t securityAccess);
    void create(std::uint32_t securityAccess);

    HKEY _key = 0;
    HKEY root;
    std::string subkey;
    std::string name;
};

}  // namespace windows::registry
