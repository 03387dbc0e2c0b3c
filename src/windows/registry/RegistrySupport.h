#pragma once

#include "windows/registry/RegistryTypes.h"

#include <string>

namespace windows::registry {

// One value that holds a program's command: the program's path in double quotes and its
// arguments. No key stays open between calls.
class RegistrySupport {
public:
    // An empty program path stands for the running program's own file. Throws
    // RegistryException for an empty subkey or value name, and
    // windows::file::CouldNotGetModuleFileNameException when the program's path is unknown.
    RegistrySupport(HKEY rootKey, const std::string& subkey, const std::string& valueName,
                    const std::string& arguments, const std::string& programPath);

    // True when the value holds exactly the command; false when the value is missing.
    bool isRegistered();
    // Writes the command, making the key when it is missing.
    void addToRegistry();
    // Deletes the value; a value that is already gone is no failure.
    void removeFromRegistry();

    const std::string& getCommand() const { return command; }

private:
    HKEY root;
    std::string _subkey;
    std::string _value;
    std::string command;
};

}  // namespace windows::registry
