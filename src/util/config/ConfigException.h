#pragma once

#include "exceptions/Exception.h"

#include <string>

namespace util::config {

// A configuration failure carries two texts: the full one (with the configuration text it
// concerns) as its message, and a short one for places with little room.
class ConfigException : public exceptions::Exception {
public:
    ConfigException(std::string fullMessage, std::string shortMessage);

    virtual std::string getShortMessage() const;

private:
    std::string shortMessage;
};

PASTRIX_DECLARE_EXCEPTION(KeyDoesNotExistException, ConfigException);
PASTRIX_DECLARE_EXCEPTION(ParseException, ConfigException);
// A key or value that cannot be stored as a key=value line; the text stays unchanged.
PASTRIX_DECLARE_EXCEPTION(InvalidValueException, ConfigException);

}  // namespace util::config
