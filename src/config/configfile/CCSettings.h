#pragma once

#include "config/configfile/Settings.h"

namespace products::pastrix::config::configfile {

// The Cool Keys switch.
class CCSettings : public Settings {
public:
    using Settings::Settings;

    void validate() override;
    virtual bool isEnabled() const;
    virtual void setEnabled(bool enabled);
};

}  // namespace products::pastrix::config::configfile
