#include "os/posix/StoredRegistry.h"

#include "os/ErrorCodes.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace os::posix {

namespace {

std::vector<std::string> splitKeyPath(const std::string& subKey) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= subKey.size()) {
        const std::size_t end = std::min(subKey.find('\\', start), subKey.size());
        if (end > start) {
            names.push_back(subKey.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

std::vector<RegistryValue>::iterator findValue(std::vector<RegistryValue>& values,
                                               const std::string& name) {
    return std::find_if(values.begin(), values.end(), [&](const RegistryValue& value) {
        return StoredRegistry::sameName(value.name, name);
    });
}

}  // namespace

std::string RegistryPath::text() const {
    std::string result = StoredRegistry::rootName(root);
    for (const std::string& name : names) {
        result += "\\" + name;
    }
    return result;
}

bool StoredRegistry::isRoot(RegistryKeyHandle key) {
    return !rootName(key).empty();
}

std::string StoredRegistry::rootName(RegistryKeyHandle root) {
    switch (root) {
        case hkey::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case hkey::CurrentUser:
            return "HKEY_CURRENT_USER";
        case hkey::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case hkey::Users:
            return "HKEY_USERS";
        case hkey::CurrentConfig:
            return "HKEY_CURRENT_CONFIG";
        default:
            return "";
    }
}

bool StoredRegistry::sameName(const std::string& left, const std::string& right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::size_t StoredRegistry::openHandles() const {
    std::lock_guard lock(mutex_);
    return open_.size();
}

long StoredRegistry::resolve(RegistryKeyHandle key, const std::string& subKey,
                             RegistryPath& path) const {
    if (isRoot(key)) {
        path.root = key;
        path.names.clear();
    } else {
        const auto found = open_.find(key);
        if (found == open_.end()) {
            return error::InvalidHandle;
        }
        path = found->second.path;
    }
    for (std::string& name : splitKeyPath(subKey)) {
        path.names.push_back(std::move(name));
    }
    return error::Success;
}

long StoredRegistry::lookup(RegistryKeyHandle key, std::uint32_t neededAccess,
                            RegistryPath& path) const {
    if (isRoot(key)) {
        path = RegistryPath{key, {}};
        return error::Success;
    }
    const auto found = open_.find(key);
    if (found == open_.end()) {
        return error::InvalidHandle;
    }
    // A key opened for reading cannot be written through, as on the system.
    if ((found->second.access & neededAccess) != neededAccess) {
        return error::AccessDenied;
    }
    path = found->second.path;
    return error::Success;
}

RegistryKeyHandle StoredRegistry::add(const RegistryPath& path, std::uint32_t access) {
    const RegistryKeyHandle handle = next_;
    next_ += 4;
    open_[handle] = OpenKey{path, access};
    return handle;
}

long StoredRegistry::openKey(RegistryKeyHandle key, const std::string& subKey, std::uint32_t,
                             std::uint32_t access, RegistryKeyHandle& result) {
    std::lock_guard lock(mutex_);
    result = 0;
    RegistryPath path;
    if (const long code = resolve(key, subKey, path); code != error::Success) {
        return code;
    }
    std::vector<RegistryValue> values;
    if (const long code = loadKey(path, values); code != error::Success) {
        return code;
    }
    result = add(path, access);
    return error::Success;
}

long StoredRegistry::createKey(RegistryKeyHandle key, const std::string& subKey, const std::string&,
                               std::uint32_t, std::uint32_t access, RegistryKeyHandle& result,
                               std::uint32_t* disposition) {
    std::lock_guard lock(mutex_);
    result = 0;
    RegistryPath path;
    if (const long code = resolve(key, subKey, path); code != error::Success) {
        return code;
    }
    bool created = false;
    if (const long code = makeKey(path, created); code != error::Success) {
        return code;
    }
    if (disposition != nullptr) {
        *disposition = created ? reg::CreatedNewKey : reg::OpenedExistingKey;
    }
    result = add(path, access);
    return error::Success;
}

long StoredRegistry::copyOut(const RegistryValue& value, std::uint32_t* type, unsigned char* data,
                             std::uint32_t* size) {
    if (data != nullptr && size == nullptr) {
        return error::InvalidParameter;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (size == nullptr) {
        return error::Success;
    }
    if (data != nullptr && *size < needed) {
        *size = needed;
        return error::MoreData;
    }
    if (data != nullptr && needed > 0) {
        std::memcpy(data, value.data.data(), needed);
    }
    *size = needed;
    return error::Success;
}

long StoredRegistry::queryValue(RegistryKeyHandle key, const std::string& valueName,
                                std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    std::lock_guard lock(mutex_);
    RegistryPath path;
    if (const long code = lookup(key, reg::KeyQueryValue, path); code != error::Success) {
        return code;
    }
    std::vector<RegistryValue> values;
    if (const long code = loadKey(path, values); code != error::Success) {
        return code;
    }
    const auto found = findValue(values, valueName);
    if (found == values.end()) {
        return error::FileNotFound;
    }
    return copyOut(*found, type, data, size);
}

long StoredRegistry::enumValue(RegistryKeyHandle key, std::uint32_t index, std::string& name,
                               std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    std::lock_guard lock(mutex_);
    RegistryPath path;
    if (const long code = lookup(key, reg::KeyQueryValue, path); code != error::Success) {
        return code;
    }
    std::vector<RegistryValue> values;
    if (const long code = loadKey(path, values); code != error::Success) {
        return code;
    }
    if (index >= values.size()) {
        return error::NoMoreItems;
    }
    name = values[index].name;
    return copyOut(values[index], type, data, size);
}

long StoredRegistry::setValue(RegistryKeyHandle key, const std::string& valueName,
                              std::uint32_t type, const unsigned char* data, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    if (data == nullptr && size != 0) {
        return error::InvalidParameter;
    }
    RegistryPath path;
    if (const long code = lookup(key, reg::KeySetValue, path); code != error::Success) {
        return code;
    }
    std::vector<RegistryValue> values;
    if (const long code = loadKey(path, values); code != error::Success) {
        return code;
    }
    RegistryValue value{
        valueName, type,
        size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size)};
    const auto found = findValue(values, valueName);
    if (found == values.end()) {
        values.push_back(std::move(value));
    } else {
        // The value keeps its place and its name's spelling.
        found->type = value.type;
        found->data = std::move(value.data);
    }
    return storeKey(path, values);
}

long StoredRegistry::deleteValue(RegistryKeyHandle key, const std::string& valueName) {
    std::lock_guard lock(mutex_);
    RegistryPath path;
    if (const long code = lookup(key, reg::KeySetValue, path); code != error::Success) {
        return code;
    }
    std::vector<RegistryValue> values;
    if (const long code = loadKey(path, values); code != error::Success) {
        return code;
    }
    const auto found = findValue(values, valueName);
    if (found == values.end()) {
        return error::FileNotFound;
    }
    values.erase(found);
    return storeKey(path, values);
}

long StoredRegistry::closeKey(RegistryKeyHandle key) {
    std::lock_guard lock(mutex_);
    if (isRoot(key)) {
        return error::Success;
    }
    if (open_.erase(key) == 0) {
        return error::InvalidHandle;
    }
    return error::Success;
}

std::uint32_t StoredRegistry::expandEnvironmentStrings(const std::string& source, char* destination,
                                                       std::uint32_t size) {
    const std::string expanded =
        expand(source, [this](const std::string& name) { return environmentValue(name); });
    // The 8-bit call asks for one byte more than it stores.
    const auto needed = static_cast<std::uint32_t>(expanded.size() + 2);
    if (destination == nullptr || size < needed) {
        if (destination == nullptr && size != 0) {
            setLastError(error::InvalidParameter);
            return 0;
        }
        return needed;
    }
    std::memcpy(destination, expanded.c_str(), expanded.size() + 1);
    return needed - 1;
}

}  // namespace os::posix
