#include "exceptions/Exception.h"

#include <utility>

namespace exceptions {

Exception::Exception(std::string text) : message(std::move(text)) {}

Exception::~Exception() = default;

std::string Exception::getMessage() const {
    return message;
}

}  // namespace exceptions
