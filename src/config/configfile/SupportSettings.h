#pragma once

#include "config/configfile/Settings.h"

#include <string>

namespace products::pastrix::config::configfile {

// What the About page tells the user: version, support address and home page.
class SupportSettings : public Settings {
public:
    using Settings::Settings;

    void validate() override;
    virtual std::string getVersion() const;
    virtual std::string getSupport() const;
    virtual std::string getHomepage() const;
};

}  // namespace products::pastrix::config::configfile
