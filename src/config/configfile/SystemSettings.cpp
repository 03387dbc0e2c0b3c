#include "config/configfile/SystemSettings.h"

namespace products::pastrix::config::configfile {

namespace {
const char* const activeWorkspaceKey = "SYSTEM_ActiveWorkspace";
const char* const startAutomaticallyKey = "SYSTEM_StartAutomatically";
const char* const enabledKey = "SYSTEM_Enabled";
}  // namespace

void SystemSettings::validate() {}

std::string SystemSettings::getActiveWorkspace() const {
    return fromStored(config.getString(activeWorkspaceKey));
}

bool SystemSettings::getStartAutomatically() const {
    return config.getBool(startAutomaticallyKey);
}

bool SystemSettings::isEnabled() const {
    return config.getBool(enabledKey);
}

void SystemSettings::setActiveWorkspace(const std::string& name) {
    config.setString(activeWorkspaceKey, toStored(name));
}

void SystemSettings::setStartAutomatically(bool startAutomatically) {
    config.setBool(startAutomaticallyKey, startAutomatically);
}

void SystemSettings::setEnabled(bool enabled) {
    config.setBool(enabledKey, enabled);
}

}  // namespace products::pastrix::config::configfile
