#include "config/configfile/Settings.h"

#include "exceptions/Exception.h"

namespace products::pastrix::config::configfile {

Settings::Settings(util::config::Config& configuration, windows::reporter::ErrorReporter& reporter)
    : config(configuration), errorReporter(reporter) {}

Settings::~Settings() = default;

void Settings::save() {
    try {
        validate();
        config.save("");
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(e.getMessage());
    } catch (...) {
        errorReporter.showError(
            "An unexpected exception occrured trying to save the config file. Please contact "
            "Velbrook.");
    }
}

std::string Settings::fromStored(const std::string& stored) const {
    return stored == emptyMarker ? std::string() : stored;
}

std::string Settings::toStored(const std::string& text) const {
    return text.empty() ? emptyMarker : text;
}

}  // namespace products::pastrix::config::configfile
