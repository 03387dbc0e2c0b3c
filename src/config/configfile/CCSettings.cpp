#include "config/configfile/CCSettings.h"

namespace products::pastrix::config::configfile {

namespace {
const char* const enabledKey = "CC_Enabled";
}

void CCSettings::validate() {}

bool CCSettings::isEnabled() const {
    return config.getBool(enabledKey);
}

void CCSettings::setEnabled(bool enabled) {
    config.setBool(enabledKey, enabled);
}

}  // namespace products::pastrix::config::configfile
