#pragma once

#include "os/Errors.h"
#include "os/posix/StoredRegistry.h"

#include <map>
#include <string>
#include <vector>

namespace os::sim {

// The registry of the simulated desktop: keys in memory, an environment the test sets, and
// failures on demand for each kind of call.
class SimRegistry final : public posix::StoredRegistry {
public:
    enum class Call {
        OpenKey,
        CreateKey,
        QueryValue,
        EnumValue,
        SetValue,
        DeleteValue,
        CloseKey,
        Expand
    };

    explicit SimRegistry(Errors& errors);

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

    // Calls of this kind fail with the code from now on (`times` of them, or all with -1);
    // error::Success makes them work again. Expand failures set the last error instead.
    void failCall(Call call, long code, int times = -1);
    // Opening or creating the key (the root and the names below it) is refused with
    // error::AccessDenied, as for a key the user may not touch.
    void denyAccess(RegistryKeyHandle root, const std::string& subKey);
    void setEnvironment(const std::string& name, const std::string& value);

    // What the test arranges and reads without going through handles.
    void putValue(RegistryKeyHandle root, const std::string& subKey, const std::string& name,
                  std::uint32_t type, const std::string& data);
    bool keyExists(RegistryKeyHandle root, const std::string& subKey) const;
    // The key's values in order; empty for a missing key.
    std::vector<posix::RegistryValue> values(RegistryKeyHandle root,
                                             const std::string& subKey) const;
    void removeKey(RegistryKeyHandle root, const std::string& subKey);

protected:
    long loadKey(const posix::RegistryPath& path,
                 std::vector<posix::RegistryValue>& values) override;
    long storeKey(const posix::RegistryPath& path,
                  const std::vector<posix::RegistryValue>& values) override;
    long makeKey(const posix::RegistryPath& path, bool& created) override;
    std::optional<std::string> environmentValue(const std::string& name) const override;
    void setLastError(int code) override;

private:
    struct Failure {
        long code = 0;
        int remaining = 0;
    };

    // The key's name for the map: root and names, in lower case.
    static std::string keyOf(const posix::RegistryPath& path);
    static std::string keyOf(RegistryKeyHandle root, const std::string& subKey);
    // The injected failure for the call, or error::Success.
    long injected(Call call);
    bool denied(const posix::RegistryPath& path) const;

    Errors& errors_;
    mutable std::mutex stateMutex_;
    std::map<std::string, std::vector<posix::RegistryValue>> keys_;
    std::map<Call, Failure> failures_;
    std::vector<std::string> deniedKeys_;
    std::map<std::string, std::string> environment_;
};

}  // namespace os::sim
