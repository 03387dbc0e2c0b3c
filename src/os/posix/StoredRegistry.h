#pragma once

#include "os/Registry.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace os::posix {

struct RegistryValue {
    std::string name;
    std::uint32_t type = reg::None;
    std::string data;
};

// A key: its root and the names on the way down from it, in their own spelling.
struct RegistryPath {
    RegistryKeyHandle root = 0;
    std::vector<std::string> names;

    // "HKEY_CURRENT_USER\Software\...".
    std::string text() const;
};

// The registry calls over a store of keys that a derived class keeps (in memory, in files):
// handles, access rights, names compared without regard to letter case, value order as
// written, buffer sizes and the environment's expansion are the same for every store.
class StoredRegistry : public Registry {
public:
    StoredRegistry() = default;
    StoredRegistry(const StoredRegistry&) = delete;
    StoredRegistry& operator=(const StoredRegistry&) = delete;

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

    static bool isRoot(RegistryKeyHandle key);
    // The root's name, empty for a handle that is none.
    static std::string rootName(RegistryKeyHandle root);
    // Letter case aside.
    static bool sameName(const std::string& left, const std::string& right);
    // The text with every %NAME% the lookup knows replaced.
    template <typename Lookup>
    static std::string expand(const std::string& source, Lookup lookup);

    // How many keys are open.
    std::size_t openHandles() const;

protected:
    // The key's values in order; error::FileNotFound when the key does not exist. A root
    // always exists.
    virtual long loadKey(const RegistryPath& path, std::vector<RegistryValue>& values) = 0;
    // Replaces the values of an existing key.
    virtual long storeKey(const RegistryPath& path, const std::vector<RegistryValue>& values) = 0;
    // Makes the key and the keys on its way that are missing; `created` tells whether the key
    // itself was new.
    virtual long makeKey(const RegistryPath& path, bool& created) = 0;
    virtual std::optional<std::string> environmentValue(const std::string& name) const = 0;
    // Failures of expandEnvironmentStrings go here.
    virtual void setLastError(int code) = 0;

private:
    struct OpenKey {
        RegistryPath path;
        std::uint32_t access = 0;
    };

    // The key below an open key or root; error::InvalidHandle for a handle that is not open.
    long resolve(RegistryKeyHandle key, const std::string& subKey, RegistryPath& path) const;
    long lookup(RegistryKeyHandle key, std::uint32_t neededAccess, RegistryPath& path) const;
    RegistryKeyHandle add(const RegistryPath& path, std::uint32_t access);
    static long copyOut(const RegistryValue& value, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size);

    mutable std::mutex mutex_;
    std::map<RegistryKeyHandle, OpenKey> open_;
    RegistryKeyHandle next_ = 0x1000;
};

template <typename Lookup>
std::string StoredRegistry::expand(const std::string& source, Lookup lookup) {
    std::string result;
    std::size_t position = 0;
    while (position < source.size()) {
        const std::size_t start = source.find('%', position);
        if (start == std::string::npos) {
            break;
        }
        const std::size_t end = source.find('%', start + 1);
        if (end == std::string::npos) {
            break;
        }
        const std::string name = source.substr(start + 1, end - start - 1);
        const std::optional<std::string> value =
            name.empty() ? std::nullopt : std::optional<std::string>(lookup(name));
        if (value) {
            result += source.substr(position, start - position) + *value;
            position = end + 1;
        } else {
            // Not a variable: the first "%" stays, the second may open a reference.
            result += source.substr(position, end - position);
            position = end;
        }
    }
    result += source.substr(position);
    return result;
}

}  // namespace os::posix
