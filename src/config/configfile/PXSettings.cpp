#include "config/configfile/PXSettings.h"

#include "config/configfile/ConfigLogicException.h"
#include "util/NumberParser.h"
#include "util/parser/StringTokenizerImpl.h"

namespace products::pastrix::config::configfile {

namespace {
const char* const enabledKey = "PX_Enabled";
const char* const serializeLimitKey = "PX_SerializeLimit";
const char* const serializeMethodKey = "PX_SerializeMethod";
const char* const useSmartSaveKey = "PX_UseSmartSave";
const char* const useToolTipKey = "PX_UseToolTip";
const char* const filterKeysKey = "PX_FilterKeys";
const char* const filterKeySeparator = "|";
}  // namespace

void PXSettings::validate() {
    for (const int code : getFilterKeys()) {
        const auto key = static_cast<unsigned>(code);
        if (key == 0 || key > 254) {
            throw ConfigLogicException(
                "The filter key values are virtual key codes, and must be between 1 and 254.\n");
        }
    }
}

bool PXSettings::isEnabled() const {
    return config.getBool(enabledKey);
}

int PXSettings::getSerializeLimit() const {
    return config.getInt(serializeLimitKey);
}

int PXSettings::getSerializeMethod() const {
    return config.getInt(serializeMethodKey);
}

bool PXSettings::getUseSmartSave() const {
    return config.getBool(useSmartSaveKey);
}

bool PXSettings::getUseToolTip() const {
    return config.getBool(useToolTipKey);
}

void PXSettings::setEnabled(bool enabled) {
    config.setBool(enabledKey, enabled);
}

void PXSettings::setSerializeLimit(int limit) {
    config.setInt(serializeLimitKey, limit);
}

void PXSettings::setSerializeMethod(int method) {
    config.setInt(serializeMethodKey, method);
}

void PXSettings::setUseSmartSave(bool useSmartSave) {
    config.setBool(useSmartSaveKey, useSmartSave);
}

void PXSettings::setUseToolTip(bool useToolTip) {
    config.setBool(useToolTipKey, useToolTip);
}

std::vector<int> PXSettings::getFilterKeys() const {
    std::vector<int> codes;
    util::parser::StringTokenizerImpl pieces(fromStored(config.getString(filterKeysKey)),
                                             filterKeySeparator);
    while (pieces.hasMoreTokens()) {
        codes.push_back(util::NumberParser::parseInt(pieces.nextToken()));
    }
    return codes;
}

void PXSettings::setFilterKeys(const std::vector<int>& codes) {
    std::string list;
    for (const int code : codes) {
        if (!list.empty()) {
            list += filterKeySeparator;
        }
        list += std::to_string(static_cast<unsigned>(code));
    }
    config.setString(filterKeysKey, toStored(list));
}

}  // namespace products::pastrix::config::configfile
