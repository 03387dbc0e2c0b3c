#include "util/config/ConfigException.h"

#include <utility>

namespace util::config {

ConfigException::ConfigException(std::string fullMessage, std::string shortText)
    : Exception(std::move(fullMessage)), shortMessage(std::move(shortText)) {}

std::string ConfigException::getShortMessage() const {
    return shortMessage;
}

}  // namespace util::config
