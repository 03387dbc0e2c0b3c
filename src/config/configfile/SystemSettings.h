#pragma once

#include "config/configfile/Settings.h"

#include <string>

namespace products::pastrix::config::configfile {

// The System page: active workspace, start after reboot, and the switch for the whole
// program.
class SystemSettings : public Settings {
public:
    using Settings::Settings;

    void validate() override;
    virtual std::string getActiveWorkspace() const;
    virtual bool getStartAutomatically() const;
    virtual bool isEnabled() const;
    virtual void setActiveWorkspace(const std::string& name);
    virtual void setStartAutomatically(bool startAutomatically);
    virtual void setEnabled(bool enabled);
};

}  // namespace products::pastrix::config::configfile
