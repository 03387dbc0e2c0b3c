#include "windows/registry/RegistrySupport.h"

#include "platform/assertion/Assertion.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"
#include "windows/registry/RegistryWriterImpl.h"

namespace windows::registry {

RegistrySupport::RegistrySupport(HKEY rootKey, const std::string& subkey,
                                 const std::string& valueName, const std::string& arguments,
                                 const std::string& programPath)
    : root(rootKey), _subkey(subkey), _value(valueName) {
    if (_subkey.empty()) {
        throw RegistryException("A subkey of length 0 in not allowed.");
    }
    if (_value.empty()) {
        throw RegistryException("A value of length 0 in not allowed.");
    }
    std::string path = programPath;
    if (path.empty()) {
        try {
            path = file::WindowsFileHelper::getModuleFileName();
        } catch (const file::CouldNotGetModuleFileNameException& e) {
            throw file::CouldNotGetModuleFileNameException("Error in RegistrySupport.\n\n" +
                                                           e.getMessage());
        }
    }
    command = "\"" + path + "\"";
    if (!arguments.empty()) {
        command += " " + arguments;
    }
}

bool RegistrySupport::isRegistered() {
    PX_ASSERT(_subkey.size() > 0);
    PX_ASSERT(_value.size() > 0);
    RegistryKeyImpl key(root, _subkey, KEY_READ, OpenExisting);
    RegistryReaderImpl reader(key);
    try {
        return reader.readString(_value) == command;
    } catch (const RegistryValueNotFoundException&) {
        return false;
    }
}

void RegistrySupport::addToRegistry() {
    PX_ASSERT(_subkey.size() > 0);
    PX_ASSERT(_value.size() > 0);
    RegistryKeyImpl key(root, _subkey, KEY_WRITE, CreateOrOpen);
    RegistryWriterImpl writer(key);
    writer.writeString(_value, command);
}

void RegistrySupport::removeFromRegistry() {
    PX_ASSERT(_subkey.size() > 0);
    PX_ASSERT(_value.size() > 0);
    RegistryKeyImpl key(root, _subkey, KEY_WRITE, OpenExisting);
    RegistryWriterImpl writer(key);
    try {
        writer.deleteValue(_value);
    } catch (const RegistryValueNotFoundException&) {
        // Already gone: nothing to do.
    }
}

}  // namespace windows::registry
