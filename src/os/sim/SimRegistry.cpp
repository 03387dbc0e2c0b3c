#include "os/sim/SimRegistry.h"

#include "os/ErrorCodes.h"

#include <algorithm>
#include <cctype>

namespace os::sim {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

SimRegistry::SimRegistry(Errors& errors) : errors_(errors) {}

std::string SimRegistry::keyOf(const posix::RegistryPath& path) {
    std::string key = rootName(path.root);
    for (const std::string& name : path.names) {
        key += "\\" + lower(name);
    }
    return key;
}

std::string SimRegistry::keyOf(RegistryKeyHandle root, const std::string& subKey) {
    posix::RegistryPath path{root, {}};
    std::size_t start = 0;
    while (start <= subKey.size()) {
        const std::size_t end = std::min(subKey.find('\\', start), subKey.size());
        if (end > start) {
            path.names.push_back(subKey.substr(start, end - start));
        }
        start = end + 1;
    }
    return keyOf(path);
}

long SimRegistry::injected(Call call) {
    std::lock_guard lock(stateMutex_);
    const auto found = failures_.find(call);
    if (found == failures_.end() || found->second.code == error::Success) {
        return error::Success;
    }
    Failure& failure = found->second;
    const long code = failure.code;
    if (failure.remaining > 0 && --failure.remaining == 0) {
        failures_.erase(found);
    }
    return code;
}

bool SimRegistry::denied(const posix::RegistryPath& path) const {
    std::lock_guard lock(stateMutex_);
    return std::find(deniedKeys_.begin(), deniedKeys_.end(), keyOf(path)) != deniedKeys_.end();
}

void SimRegistry::failCall(Call call, long code, int times) {
    std::lock_guard lock(stateMutex_);
    if (code == error::Success || times == 0) {
        failures_.erase(call);
        return;
    }
    failures_[call] = Failure{code, times};
}

void SimRegistry::denyAccess(RegistryKeyHandle root, const std::string& subKey) {
    std::lock_guard lock(stateMutex_);
    deniedKeys_.push_back(keyOf(root, subKey));
}

void SimRegistry::setEnvironment(const std::string& name, const std::string& value) {
    std::lock_guard lock(stateMutex_);
    environment_[lower(name)] = value;
}

void SimRegistry::putValue(RegistryKeyHandle root, const std::string& subKey,
                           const std::string& name, std::uint32_t type, const std::string& data) {
    RegistryKeyHandle key = 0;
    if (StoredRegistry::createKey(root, subKey, "", reg::OptionNonVolatile, reg::KeyWrite, key,
                                  nullptr) != error::Success) {
        return;
    }
    StoredRegistry::setValue(key, name, type, reinterpret_cast<const unsigned char*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
    StoredRegistry::closeKey(key);
}

bool SimRegistry::keyExists(RegistryKeyHandle root, const std::string& subKey) const {
    std::lock_guard lock(stateMutex_);
    return keys_.count(keyOf(root, subKey)) != 0;
}

std::vector<posix::RegistryValue> SimRegistry::values(RegistryKeyHandle root,
                                                      const std::string& subKey) const {
    std::lock_guard lock(stateMutex_);
    const auto found = keys_.find(keyOf(root, subKey));
    return found == keys_.end() ? std::vector<posix::RegistryValue>{} : found->second;
}

void SimRegistry::removeKey(RegistryKeyHandle root, const std::string& subKey) {
    std::lock_guard lock(stateMutex_);
    const std::string key = keyOf(root, subKey);
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == key || it->first.rfind(key + "\\", 0) == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

long SimRegistry::openKey(RegistryKeyHandle key, const std::string& subKey, std::uint32_t options,
                          std::uint32_t access, RegistryKeyHandle& result) {
    result = 0;
    if (const long code = injected(Call::OpenKey); code != error::Success) {
        return code;
    }
    return StoredRegistry::openKey(key, subKey, options, access, result);
}

long SimRegistry::createKey(RegistryKeyHandle key, const std::string& subKey,
                            const std::string& keyClass, std::uint32_t options,
                            std::uint32_t access, RegistryKeyHandle& result,
                            std::uint32_t* disposition) {
    result = 0;
    if (const long code = injected(Call::CreateKey); code != error::Success) {
        return code;
    }
    return StoredRegistry::createKey(key, subKey, keyClass, options, access, result, disposition);
}

long SimRegistry::queryValue(RegistryKeyHandle key, const std::string& valueName,
                             std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    if (const long code = injected(Call::QueryValue); code != error::Success) {
        return code;
    }
    return StoredRegistry::queryValue(key, valueName, type, data, size);
}

long SimRegistry::enumValue(RegistryKeyHandle key, std::uint32_t index, std::string& name,
                            std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    if (const long code = injected(Call::EnumValue); code != error::Success) {
        return code;
    }
    return StoredRegistry::enumValue(key, index, name, type, data, size);
}

long SimRegistry::setValue(RegistryKeyHandle key, const std::string& valueName, std::uint32_t type,
                           const unsigned char* data, std::uint32_t size) {
    if (const long code = injected(Call::SetValue); code != error::Success) {
        return code;
    }
    return StoredRegistry::setValue(key, valueName, type, data, size);
}

long SimRegistry::deleteValue(RegistryKeyHandle key, const std::string& valueName) {
    if (const long code = injected(Call::DeleteValue); code != error::Success) {
        return code;
    }
    return StoredRegistry::deleteValue(key, valueName);
}

long SimRegistry::closeKey(RegistryKeyHandle key) {
    if (const long code = injected(Call::CloseKey); code != error::Success) {
        return code;
    }
    return StoredRegistry::closeKey(key);
}

std::uint32_t SimRegistry::expandEnvironmentStrings(const std::string& source, char* destination,
                                                    std::uint32_t size) {
    if (const long code = injected(Call::Expand); code != error::Success) {
        errors_.setLastError(static_cast<int>(code));
        return 0;
    }
    return StoredRegistry::expandEnvironmentStrings(source, destination, size);
}

long SimRegistry::loadKey(const posix::RegistryPath& path,
                          std::vector<posix::RegistryValue>& values) {
    if (denied(path)) {
        return error::AccessDenied;
    }
    std::lock_guard lock(stateMutex_);
    const auto found = keys_.find(keyOf(path));
    if (found == keys_.end()) {
        values.clear();
        return path.names.empty() ? error::Success : error::FileNotFound;
    }
    values = found->second;
    return error::Success;
}

long SimRegistry::storeKey(const posix::RegistryPath& path,
                           const std::vector<posix::RegistryValue>& values) {
    std::lock_guard lock(stateMutex_);
    keys_[keyOf(path)] = values;
    return error::Success;
}

long SimRegistry::makeKey(const posix::RegistryPath& path, bool& created) {
    if (denied(path)) {
        return error::AccessDenied;
    }
    std::lock_guard lock(stateMutex_);
    posix::RegistryPath step{path.root, {}};
    created = false;
    for (const std::string& name : path.names) {
        step.names.push_back(name);
        created = keys_.emplace(keyOf(step), std::vector<posix::RegistryValue>{}).second;
    }
    return error::Success;
}

std::optional<std::string> SimRegistry::environmentValue(const std::string& name) const {
    std::lock_guard lock(stateMutex_);
    const auto found = environment_.find(lower(name));
    if (found == environment_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void SimRegistry::setLastError(int code) {
    errors_.setLastError(code);
}

}  // namespace os::sim
