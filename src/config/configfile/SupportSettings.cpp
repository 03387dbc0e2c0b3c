#include "config/configfile/SupportSettings.h"

namespace products::pastrix::config::configfile {

void SupportSettings::validate() {}

std::string SupportSettings::getVersion() const {
    return fromStored(config.getString("SUPPORT_Version"));
}

std::string SupportSettings::getSupport() const {
    return fromStored(config.getString("SUPPORT_Support"));
}

std::string SupportSettings::getHomepage() const {
    return fromStored(config.getString("SUPPORT_Homepage"));
}

}  // namespace products::pastrix::config::configfile
