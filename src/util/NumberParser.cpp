#include "util/NumberParser.h"

#include "exceptions/NumberFormatException.h"

#include <cstdint>
#include <limits>

namespace util::NumberParser {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

[[noreturn]] void refuse(const std::string& text) {
    throw exceptions::NumberFormatException("Error parsing the string [" + text +
                                            "] to an integer");
}

}  // namespace

int parseInt(const std::string& text) {
    if (text.empty()) {
        throw exceptions::NumberFormatException(
            "The empty string cannot be parsed into an integer");
    }
    if (text == "0") {
        return 0;
    }
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The magnitude may reach one past the largest int, the size of the smallest one.
    const std::int64_t limit = static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > limit) {
            // A number the program cannot hold is as unusable as one it cannot read.
            refuse(text);
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value == 0 || value > std::numeric_limits<int>::max()) {
        refuse(text);
    }
    return static_cast<int>(value);
}

}  // namespace util::NumberParser
