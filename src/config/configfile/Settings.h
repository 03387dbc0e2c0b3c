#pragma once

#include "util/config/Config.h"
#include "windows/reporter/ErrorReporter.h"

#include <string>

namespace products::pastrix::config::configfile {

// A typed view of one group of keys of the configuration. Every getter reads the current
// text, so a change made through one group is seen at once by every other group; nothing
// reaches the disk before save.
class Settings {
public:
    Settings(util::config::Config& configuration, windows::reporter::ErrorReporter& reporter);
    virtual ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Checks the group and writes the whole configuration file. Never throws: a failure is
    // shown to the user, and a group that fails its check writes nothing.
    virtual void save();
    // Throws ConfigLogicException (or the reading exceptions) when the group's values are
    // not usable.
    virtual void validate() = 0;

protected:
    // Texts cannot be stored empty; the marker stands for the empty text in the file.
    std::string fromStored(const std::string& stored) const;
    std::string toStored(const std::string& text) const;

    const std::string emptyMarker = "EMPTY_KEY_VALUE";
    util::config::Config& config;
    windows::reporter::ErrorReporter& errorReporter;
};

}  // namespace products::pastrix::config::configfile
