#include "util/IntegerParser.h"

#include "exceptions/NumberFormatException.h"

#include <climits>
#include <cstdlib>

namespace util::IntegerParser {

int parse(const std::string& text) {
    if (text.empty()) {
        throw exceptions::NumberFormatException(
            "The empty string cannot be parsed into an integer");
    }
    if (text == "0") {
        return 0;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value == 0) {
        throw exceptions::NumberFormatException("Error parsing the string [" + text +
                                                "] to an integer");
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace util::IntegerParser
