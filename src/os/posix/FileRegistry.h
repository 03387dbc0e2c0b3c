#pragma once

#include "os/posix/PosixErrors.h"
#include "os/posix/StoredRegistry.h"

#include <string>
#include <vector>

namespace os::posix {

// The registry of a desktop without one, kept in files below the user's configuration
// directory ($XDG_CONFIG_HOME, else ~/.config) in "pastrix/registry": one file per key,
// named after the key in lower case, its subkeys in the directory of the same name. Each
// file is written whole to a temporary file and renamed over the old one, so a crash
// leaves the old key or the new one; a file that cannot be read back is reported as
// error::InvalidData with a text naming it, and is never overwritten.
//
// The run-at-logon keys (Software\Microsoft\Windows\CurrentVersion\Run below
// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) are the desktop's autostart: each text value there
// also has a desktop entry "<value name>.desktop" in the autostart directory that runs the
// stored command, and deleting the value deletes that entry.
class FileRegistry final : public StoredRegistry {
public:
    // Below the user's configuration directory.
    explicit FileRegistry(PosixErrors& errors);
    // Below the given configuration directory.
    FileRegistry(PosixErrors& errors, std::string configurationDirectory);

    // The user's configuration directory, from the environment.
    static std::string userConfigurationDirectory();
    // The desktop entry's Exec line for a command written as the program writes it (a path
    // in double quotes, then arguments separated by spaces).
    static std::string execLine(const std::string& command);
    // The desktop entry's file name for the value name.
    static std::string desktopFileName(const std::string& valueName);

    const std::string& registryDirectory() const { return registryDirectory_; }
    const std::string& autostartDirectory() const { return autostartDirectory_; }
    // The file that holds the key.
    std::string keyFile(const RegistryPath& path) const;

protected:
    long loadKey(const RegistryPath& path, std::vector<RegistryValue>& values) override;
    long storeKey(const RegistryPath& path, const std::vector<RegistryValue>& values) override;
    long makeKey(const RegistryPath& path, bool& created) override;
    std::optional<std::string> environmentValue(const std::string& name) const override;
    void setLastError(int code) override;

private:
    long writeKeyFile(const RegistryPath& path, const std::vector<RegistryValue>& values);
    long updateAutostart(const RegistryPath& path, const std::vector<RegistryValue>& before,
                         const std::vector<RegistryValue>& after);
    long writeDesktopEntry(const RegistryValue& value);
    long removeDesktopEntry(const std::string& valueName);
    static bool isRunKey(const RegistryPath& path);

    PosixErrors& errors_;
    std::string registryDirectory_;
    std::string autostartDirectory_;
};

}  // namespace os::posix
